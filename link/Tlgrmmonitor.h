// The telegram scheduler: a queue of telegram items, the scheduler thread that
// turns the next pending item into one request/reply exchange through the
// framing layer, and the tick thread that owns the queue lock and counts down
// periodic items (this program has none; it sleeps while the queue is empty).
//
// The queue lock is held only to pick an item or change an item's state,
// never while a frame travels or a callback runs. Both callbacks run on the
// scheduler thread; a callback that triggers its item again gets it sent in
// the very next pass. Exactly one telegram is in flight at a time.
#pragma once

#include "Com.h"
#include "Comserveunit.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// The request header of a telegram: Length is the number of data bytes
// (0..251), not the frame's Len; the data belong to whoever made the item.
struct _TlgrHeader {
    uint8_t Dst = 0;
    uint8_t Src = 0;
    uint8_t Length = 0;
    uint8_t Fnc = 0;
    uint8_t* Data = nullptr;
};

// Receive callback: the reply as Dst, Src, data length, Fnc, data.
using TTlgrReceive = std::function<void(uint8_t* reply)>;
// Error callback (no reply, a broken reply, port closed): the item's header.
using TTlgrError = std::function<void(_TlgrHeader* header)>;

class TTlgrItem {
public:
    enum : uint8_t { Removed = 0, Idle = 1, Pending = 2, PeriodOver = 3 };
    static constexpr uint8_t MaxData = 251;

    TTlgrItem() : Header(std::make_unique<_TlgrHeader>()) {}
    TTlgrItem(const TTlgrItem&) = delete;
    TTlgrItem& operator=(const TTlgrItem&) = delete;
    virtual ~TTlgrItem() = default;

    virtual bool IsPeriodic() const { return false; }
    virtual void RestartPeriod() {}
    // Marks the item pending; a periodic item whose period is over stays so.
    virtual void Trigger();
    // Counts a periodic item's period down; no item of this program has one.
    virtual void Tick(uint32_t /*ms*/) {}
    virtual void Reload() {}
    // 1 take (pending at this level), -1 skip, 0 remove.
    virtual int Schedule(uint8_t level);

    void SetOnReceive(TTlgrReceive callback) { OnReceive = std::move(callback); }
    void SetOnError(TTlgrError callback) { OnError = std::move(callback); }
    _TlgrHeader* GetHeader() { return Header.get(); }

    uint8_t Priority = 0;  // 0..3, 3 first
    uint8_t State = Idle;  // changed under the queue lock only
    TTlgrReceive OnReceive;
    TTlgrError OnError;
    uint32_t Period = 0;
    uint32_t Repeat = 0;

private:
    std::unique_ptr<_TlgrHeader> Header;
};

// The owning list of telegram items; every call under the queue lock.
class TTlgrList {
public:
    TTlgrItem* Add(uint8_t dst, uint8_t src, uint8_t* data, uint8_t length, uint8_t fnc);
    // The item to send next (highest priority, then nearest the front), now
    // idle again; removes items whose Schedule says so. None when none is due.
    TTlgrItem* Select();
    void Tick(uint32_t ms);
    void Clear() { Items.clear(); }
    int Count() const { return static_cast<int>(Items.size()); }
    TTlgrItem* Get(int index) { return index >= 0 && index < Count() ? Items[static_cast<size_t>(index)].get() : nullptr; }

private:
    std::vector<std::unique_ptr<TTlgrItem>> Items;
};

class TTlgrmTimer {
public:
    static constexpr int TickMs = 10;

    explicit TTlgrmTimer(TTlgrList* list);
    ~TTlgrmTimer();  // Terminate, then waits for the thread
    void Resume();   // under QueueLock: wakes a tick thread that suspended itself
    void Terminate();

    std::mutex QueueLock;  // the queue lock, used by the scheduler thread too

private:
    TTlgrList* const List;
    std::condition_variable Changed;
    bool Suspended = false;
    std::atomic<bool> Terminated{false};
    std::thread Thread;
    void Execute();
};

class TTlgrmMonitor {
public:
    static constexpr int MaxQueue = 50;
    static constexpr int IdleMs = 50;

    TTlgrmMonitor();
    TTlgrmMonitor(const TTlgrmMonitor&) = delete;
    TTlgrmMonitor& operator=(const TTlgrmMonitor&) = delete;
    // Ends the scheduler and tick threads (a pending reply wait ends at once),
    // then the framing layer and the port with their threads.
    ~TTlgrmMonitor();

    TTlgrItem* NewTelegram(uint8_t dst, uint8_t src, uint8_t* data, uint8_t length, uint8_t fnc);
    // Triggers an item under the queue lock and wakes the scheduler.
    void Trigger(TTlgrItem* item);
    // ms / 20 time-out units (1 at least, 255 at most): first byte within
    // units x 20 ms, further bytes within units x 3 ms.
    void SetTimeout(uint32_t ms);
    bool IsOpen() const { return Port->IsOpen(); }
    bool Open(const char* name);
    void Close() { Port->Close(); }
    std::string OpenError() const { return Port->OpenError(); }
    bool SetLineState(const SerialLineState& state);
    bool GetLineState(SerialLineState& state);

    ComServ* GetServ() { return Serv.get(); }
    ComObj* GetPort() { return Port.get(); }

private:
    TTlgrList Queue;
    std::unique_ptr<ComObj> Port;
    std::unique_ptr<ComServ> Serv;
    std::unique_ptr<TTlgrmTimer> Timer;
    std::condition_variable Wake;  // on the queue lock
    bool Woken = false;
    std::atomic<bool> Terminated{false};
    uint8_t Frame[256] = {};
    std::thread Thread;

    void Execute();
    void Pass();
    void Idle(int ms);
};
