// The base of every communication service and the context that the services
// of one run share with the sequencer.
//
// A service carries out one command as a short conversation with the unit:
// Start sends the first request, the reply handler judges each reply (a
// failed request arrives as function code 0), Continue acts on the judgement
// (retry, next packet, or finish with an error code in the context). All
// three run on the thread that drives the run at that moment, one at a time.
#pragma once

#include "Basecommodule.h"
#include "Commcmd.h"
#include "Mlsunit.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The running command's progress: the command bar (Min..Max) and the two
// byte labels (bytes done, bytes in total).
struct _CommProgress {
    int32_t Min = 0;
    int32_t Max = 100;
    int32_t Position = 0;
    int64_t Count = 0;
    int64_t Total = 0;
};

struct _CommTaskContext {
    TBaseComModule* ComModule = nullptr;
    int32_t SuperService = 0;  // running composite: 0 or 129..133
    int32_t Service = 0;       // running service: 0 or 1..13
    int32_t ErrorCode = 0;
    int32_t ErrorData = 0;     // the unit's refusal reason
    std::function<void()> OnReply;  // the dialog's dispatch
    std::function<void()> OnSend;   // the link's Send
    _CommProgress Progress;
    // Lets the GUI serve its messages between two port openings of the
    // search (only while the run is driven from the GUI thread).
    std::function<void()> ProcessMessages;
    // True once the run is over or cancelled: no port is opened any more.
    std::function<bool()> RunEnded;
};

// The text layer the link was made with, or the built-in English texts.
const TMLSUnit& CommTexts(const TMLSUnit* mls);

class TCommTask {
public:
    static constexpr int32_t DefaultRetries = 8;

    TCommTask(_CommTaskContext* context, std::string* log) : LogText(log), Context(context) {}
    TCommTask(const TCommTask&) = delete;
    TCommTask& operator=(const TCommTask&) = delete;
    virtual ~TCommTask() = default;

    // Takes the inputs its command names (buffer, address, block, slot...),
    // as the sequencer does before every Start.
    virtual void SetCommand(const _CommCmd& command) = 0;
    virtual void Start() = 0;
    // Judges a reply or a failed request; only plain services get them.
    virtual void HandleReply() {}
    virtual void Continue() = 0;

    // Appends the text and CR LF to the run's log.
    void Log(std::string_view text);

protected:
    std::string* LogText;
    _CommTaskContext* Context;
    uint8_t* Data = nullptr;
    uint32_t Address = 0;
    uint32_t Length = 0;
    int32_t Retries = 0;
    uint32_t Packets = 0;
    uint32_t Done = 0;
    uint32_t Chunk = 0;

    template <typename... Args>
    std::string Text(uint32_t id, const Args&... args) const {
        return CommTexts(Context->ComModule->GetMLS()).GetText(id, args...);
    }
    template <typename... Args>
    void LogMessage(uint32_t id, const Args&... args) {
        Log(Text(id, args...));
    }

    // Error code and error data back to 0, as every start does.
    void ClearError();
    void SetError(int32_t code, int32_t data = 0);
    // The start of a command that could not be prepared: message 9002 and
    // error 130; the service does not become the running one.
    void FailStart();
    // Becomes the running service: the command bar to its minimum, the byte
    // labels to 0 and the total, the retries to 8.
    void Become(int32_t service, int64_t total);
    // Writes the request into the link and sends it.
    void SendRequest(uint8_t fnc, const uint8_t* data, size_t n);
    void Finish();

    // The reply copy: function code (0 for a failed request), data length
    // and data bytes.
    uint8_t ReplyFnc() const;
    size_t ReplyLength() const;
    const uint8_t* ReplyData() const;

    // The common judgement of a reply: the good code with at least minData
    // data bytes records nothing and gives true. A refusal (with its
    // reason) records refusalCode, the reason and the refusal text, unless
    // the service has no refusal case (refusalCode 0), where it counts as
    // unexpected. A failed request records 6 ("Service timeout."); anything
    // else, a good code too short for the service included, records 5.
    bool Classify(uint8_t good, size_t minData, int32_t refusalCode, uint32_t refusalMessage);
    // Rule for a failure: false when no retry is left or allowed (the
    // service then finishes); otherwise the error is cleared, one retry
    // taken and logged, and the caller sends the same request again.
    bool TakeRetry(bool allowed = true);
    // The usual handling of a recorded failure: the same request again
    // while retries are left, unless the error is finalCode (a refusal the
    // service does not retry), else finish. False when nothing failed.
    template <typename Resend, typename End>
    bool Failed(int32_t finalCode, Resend resend, End end) {
        if (Context->ErrorCode == 0) return false;
        if (TakeRetry(finalCode == 0 || Context->ErrorCode != finalCode))
            resend();
        else
            end();
        return true;
    }
    template <typename Resend>
    bool Failed(int32_t finalCode, Resend resend) {
        return Failed(finalCode, resend, [this] { Finish(); });
    }
    // A one-request service after its good reply: the text, bar full, done.
    void Succeed(uint32_t message) {
        LogMessage(message);
        ProgressToMax();
        Finish();
    }
    // Command bar position from Done and Length, byte counter = Done.
    void UpdateProgress();
    void ProgressToMax();

    // A command's buffer and length: a negative length names no buffer, and
    // the service then refuses to start.
    static uint8_t* CommandBuffer(const _CommCmd& c) { return c.Length < 0 ? nullptr : static_cast<uint8_t*>(c.Data); }
    static uint32_t CommandLength(const _CommCmd& c) { return static_cast<uint32_t>(c.Length < 0 ? 0 : c.Length); }

    static std::string Hex(uint64_t value, int digits);
    static std::string Dec(int64_t value) { return std::to_string(value); }
    // A name cut to max characters, zero bytes after it up to size.
    static void PutName(uint8_t* to, const std::string& name, size_t max, size_t size);
};
