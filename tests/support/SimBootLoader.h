// A board's boot loader on a pseudo-terminal, for the loader's tests. It reads
// request telegrams (0x99, 0x88, LEN, payload, check byte) and answers each as
// the next action says: an acknowledgement that echoes request bytes 4 to 10,
// a refusal with code and detail, an echo with a wrong byte, another status,
// raw bytes, or silence.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class SimBootLoader {
public:
    struct Action {
        enum Kind { Ack, Silent, Refuse, WrongEcho, Status, Raw };
        Kind What = Ack;
        uint8_t Code = 0;    // refusal code, or the status of Status
        uint8_t Detail = 0;  // refusal detail
        std::vector<uint8_t> Bytes;  // Raw: sent as they are
        // Refuse: the reply's data bytes (1 gives a reply without the detail,
        // 0 one with the status alone).
        int DataBytes = 2;
    };

    SimBootLoader();
    ~SimBootLoader();
    SimBootLoader(const SimBootLoader&) = delete;
    SimBootLoader& operator=(const SimBootLoader&) = delete;

    // The device the loader opens.
    const std::string& DevicePath() const { return Path; }

    // What every request gets when no queued action is left.
    void SetDefault(Action action);
    // Actions for the next requests, in order.
    void Push(Action action, int times = 1);

    // The payloads of the requests received so far, in order.
    std::vector<std::vector<uint8_t>> Requests() const;
    size_t RequestCount() const;
    // Requests whose check byte or length was wrong.
    int BadFrames() const { return Bad.load(); }

    static Action AckAction() { return {}; }
    static Action Make(Action::Kind what, uint8_t code = 0, uint8_t detail = 0) {
        Action a;
        a.What = what;
        a.Code = code;
        a.Detail = detail;
        return a;
    }
    static Action SilentAction() { return Make(Action::Silent); }
    static Action RefuseAction(uint8_t code, uint8_t detail = 0) { return Make(Action::Refuse, code, detail); }
    static Action WrongEchoAction() { return Make(Action::WrongEcho); }
    static Action StatusAction(uint8_t status) { return Make(Action::Status, status); }

private:
    int Master = -1;
    int Slave = -1;
    int Wake[2] = {-1, -1};
    std::string Path;
    std::thread Worker;
    mutable std::mutex Lock;
    Action Default;
    std::deque<Action> Queue;
    std::vector<std::vector<uint8_t>> Received;
    std::atomic<int> Bad{0};

    void Run();
    void Answer(const std::vector<uint8_t>& frame);
};
