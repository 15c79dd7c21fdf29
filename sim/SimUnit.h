// A simulated QX unit at the far end of a pseudo-terminal, on its own thread.
//
// It parses request frames (Dst 0xEC, Src, Len, Fnc, data, XOR check byte),
// records them, and answers each from the handler of its function code with
// a reply frame (Dst = the request's Src, Src 0xEC). A handler may stay
// silent. The model-version request is answered from the unit's model text;
// further services add their handlers with On() (see SimUnitServices).
//
// Faults are scripted per reply, in order: stay silent, answer late, refuse,
// send stray bytes first, leave out or change a byte (optionally with a
// correct check byte again), pause in the middle, or send raw bytes instead.
// When no scripted fault is waiting, a fault policy may pick one per request.
//
// The PC side may open and close the line as often as it likes: the unit
// keeps its own end of the terminal open, and lifts the exclusive mode the
// PC side leaves behind once it has closed the line, so the next opening
// works for users without special rights too. A frame the PC side left
// unfinished when it closed the line is dropped.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <termios.h>
#include <thread>
#include <vector>

#include "FunctionCodes.h"

class SimUnit {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr uint8_t UnitAddress = QXWire::UnitAddress;

    struct Request {
        uint8_t Dst = 0, Src = 0, Len = 0, Fnc = 0;
        std::vector<uint8_t> Data;
        std::vector<uint8_t> Frame;  // as received, check byte included
        Clock::time_point At;        // when its last byte arrived
    };
    struct Answer {
        uint8_t Fnc = 0;
        std::vector<uint8_t> Data;
    };
    // nullopt: the unit stays silent.
    using Handler = std::function<std::optional<Answer>(SimUnit& unit, const Request& request)>;

    struct Fault {
        bool Silent = false;
        int DelayMs = 0;                // before the first byte
        std::vector<uint8_t> Before{};  // stray bytes ahead of the reply
        int DropIndex = -1;             // reply byte left out
        int ChangeIndex = -1;           // reply byte replaced by ChangeTo
        uint8_t ChangeTo = 0;
        bool FixCheck = false;          // recompute the check byte after a change
        int PauseIndex = -1;            // pause of PauseMs before this reply byte
        int PauseMs = 0;
        std::optional<std::vector<uint8_t>> Raw{};  // sent instead of the reply
        std::optional<uint8_t> Refuse{};  // refused with this reason, nothing done
    };
    // Picks the fault for a request when none is scripted; nullopt: none.
    using FaultPolicy = std::function<std::optional<Fault>(const Request& request)>;
    // Sees every request frame as received (fromPc) and every reply as sent.
    using Tracer = std::function<void(bool fromPc, const std::vector<uint8_t>& frame)>;

    SimUnit();
    ~SimUnit();
    SimUnit(const SimUnit&) = delete;
    SimUnit& operator=(const SimUnit&) = delete;

    // The pseudo-terminal the PC side opens.
    const std::string& Path() const { return SlavePath; }
    // False when the unit cannot see the PC side close the line (no inotify
    // left): the line then stays exclusive after a PC side without special
    // rights closed it, and a frame left unfinished is not dropped.
    bool WatchesLine() const { return Watch >= 0; }
    // Points QX318_COM<port> at Path().
    void MapComPort(int port) const;
    // The terminal settings the PC side left on the line.
    termios LineSettings() const;

    void On(uint8_t fnc, Handler handler);
    void SetModel(const std::string& text);
    void Script(Fault fault);
    void SetFaultPolicy(FaultPolicy policy);
    // Called on the unit's thread; set it before the PC side starts talking.
    void SetTracer(Tracer tracer);
    // Sends bytes at once, outside any exchange.
    void Send(const std::vector<uint8_t>& bytes);

    std::vector<Request> Requests() const;
    size_t RequestCount() const;
    bool WaitForRequests(size_t count, int timeoutMs) const;
    std::vector<uint8_t> Wire() const;  // every byte the PC sent
    void ClearRecords();

    // A frame with its check byte: dst, src, 4 + data size, fnc, data, BCC.
    static std::vector<uint8_t> Frame(uint8_t dst, uint8_t src, uint8_t fnc, const std::vector<uint8_t>& data);

private:
    int Master = -1;
    int Slave = -1;
    int WakePipe[2] = {-1, -1};
    int Watch = -1;  // inotify on the terminal: the PC side closing it
    std::string SlavePath;
    std::thread Thread;
    bool Stopping = false;

    mutable std::mutex Lock;
    mutable std::condition_variable Changed;
    std::map<uint8_t, Handler> Handlers;
    std::deque<Fault> Faults;
    FaultPolicy Policy;
    Tracer Trace;
    std::deque<std::vector<uint8_t>> Outgoing;
    std::vector<Request> Received;
    std::vector<uint8_t> WireBytes;
    std::string Model;

    void Run();
    void Parse(std::vector<uint8_t>& pending);
    void Respond(const Request& request);
    bool Pause(int ms);  // false when stopping
    void Write(const uint8_t* bytes, size_t n);
    bool LineClosed();  // true when the PC side closed the line
    bool Receive(std::vector<uint8_t>& pending);  // false when nothing came
};
