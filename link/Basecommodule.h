// TBaseComModule: the device link as the rest of the program holds it. It
// owns the telegram scheduler (and with it the framing layer and the port, so
// creating it starts every link thread) and one telegram item that every
// request reuses.
//
// One request: write Dst 0xEC, Src 0x88, the data length (0..251 data bytes)
// and Fnc into GetHeader(), the data into GetData(), call Send() and return.
// The outcome arrives on the scheduler thread: the receive handler (the reply
// is in GetReply(): Dst, Src, data length, Fnc, data) or the error handler
// (port closed, time-out, framing error alike).
//
// Handlers are called on the scheduler thread. Setting or clearing one is
// safe from any thread; a call that had already begun finishes, so whatever
// a handler uses must outlive the link's last call of it.
#pragma once

#include "Tlgrmmonitor.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

class TMLSUnit;

class TBaseComModule {
public:
    using THandler = std::function<void()>;
    static constexpr uint32_t BaudRates[3] = {9600, 57600, 115200};
    static constexpr int ReplyTimeoutMs = 500;

    explicit TBaseComModule(TMLSUnit* mls);
    TBaseComModule(const TBaseComModule&) = delete;
    TBaseComModule& operator=(const TBaseComModule&) = delete;
    // Closes the port, then ends every link thread.
    ~TBaseComModule();

    // Opens "\\.\COM<port>" at the baud rate of the index (0..2) with the
    // link's line settings; an open port is closed first. False when the
    // index is outside 0..2, the port cannot be opened (OpenError names the
    // cause) or refuses the settings (then it is closed again).
    bool Open(int32_t port, int32_t baudIndex);
    void Close();
    bool IsOpen() const;
    std::string OpenError() const;
    // Only with the port open: the item is sent in the scheduler's next pass.
    void Send();

    void SetOnReceive(THandler handler);
    void SetOnError(THandler handler);

    _TlgrHeader* GetHeader() { return Item->GetHeader(); }
    uint8_t* GetData() { return Data; }
    uint8_t* GetReply() { return Reply.get(); }
    TMLSUnit* GetMLS() const { return MLS; }
    TTlgrmMonitor* GetMonitor() { return Monitor.get(); }

private:
    TMLSUnit* const MLS;
    uint8_t Data[255] = {};
    std::unique_ptr<uint8_t[]> Reply;
    std::unique_ptr<TTlgrmMonitor> Monitor;
    TTlgrItem* Item = nullptr;
    mutable std::mutex HandlerLock;
    std::shared_ptr<const THandler> OnReceive;  // shared: a call copies no closure
    std::shared_ptr<const THandler> OnError;
    std::string LastError;

    void ReplyForwarder(const uint8_t* reply);
    void ErrorForwarder();
};
