#include "Tlgrmmonitor.h"

#include <algorithm>
#include <chrono>

using std::chrono::milliseconds;

// ---- TTlgrItem ----

void TTlgrItem::Trigger() {
    if (State != PeriodOver) State = Pending;
}

int TTlgrItem::Schedule(uint8_t level) {
    switch (State) {
    case Removed: return 0;
    case Pending: return level == Priority ? 1 : -1;
    case PeriodOver: return 0;
    default: return -1;
    }
}

// ---- TTlgrList ----

TTlgrItem* TTlgrList::Add(uint8_t dst, uint8_t src, uint8_t* data, uint8_t length, uint8_t fnc) {
    auto item = std::make_unique<TTlgrItem>();
    *item->GetHeader() = _TlgrHeader{dst, src, length, fnc, data};
    Items.push_back(std::move(item));
    return Items.back().get();
}

TTlgrItem* TTlgrList::Select() {
    for (int level = 3; level >= 0; --level) {
        for (size_t i = 0; i < Items.size();) {
            switch (Items[i]->Schedule(static_cast<uint8_t>(level))) {
            case 0:
                Items.erase(Items.begin() + static_cast<std::ptrdiff_t>(i));
                continue;
            case 1:
                Items[i]->State = TTlgrItem::Idle;
                return Items[i].get();
            default:
                ++i;
            }
        }
    }
    return nullptr;
}

void TTlgrList::Tick(uint32_t ms) {
    for (auto& item : Items)
        if (item->IsPeriodic() && item->State == TTlgrItem::Pending) item->Tick(ms);
}

// ---- TTlgrmTimer ----

TTlgrmTimer::TTlgrmTimer(TTlgrList* list) : List(list), Thread(&TTlgrmTimer::Execute, this) {}

TTlgrmTimer::~TTlgrmTimer() {
    Terminate();
    if (Thread.joinable()) Thread.join();
}

void TTlgrmTimer::Resume() {
    if (!Suspended) return;
    Suspended = false;
    Changed.notify_all();
}

void TTlgrmTimer::Terminate() {
    std::lock_guard lock(QueueLock);
    Terminated = true;
    Changed.notify_all();
}

void TTlgrmTimer::Execute() {
    std::unique_lock lock(QueueLock);
    while (!Terminated) {
        try {
            Changed.wait_for(lock, milliseconds(TickMs), [this] { return Terminated.load(); });
            if (Terminated) break;
            if (List->Count() > 0) {
                List->Tick(TickMs);
            } else {
                Suspended = true;
                Changed.wait(lock, [this] { return Terminated || !Suspended; });
            }
        } catch (...) {
        }
    }
}

// ---- TTlgrmMonitor ----

TTlgrmMonitor::TTlgrmMonitor()
    : Port(std::make_unique<ComObj>()), Serv(std::make_unique<ComServ>(Port.get())) {
    Serv->SetTimeoutCount(8);
    Timer = std::make_unique<TTlgrmTimer>(&Queue);
    Thread = std::thread(&TTlgrmMonitor::Execute, this);
}

TTlgrmMonitor::~TTlgrmMonitor() {
    {
        std::lock_guard lock(Timer->QueueLock);
        Terminated = true;
        Wake.notify_all();
    }
    Serv->Terminate();
    Timer->Terminate();
    if (Thread.joinable()) Thread.join();
    Timer.reset();
    Serv.reset();
    Port.reset();
    Queue.Clear();
}

TTlgrItem* TTlgrmMonitor::NewTelegram(uint8_t dst, uint8_t src, uint8_t* data, uint8_t length, uint8_t fnc) {
    std::lock_guard lock(Timer->QueueLock);
    TTlgrItem* item = Queue.Add(dst, src, data, length, fnc);
    Timer->Resume();
    return item;
}

void TTlgrmMonitor::Trigger(TTlgrItem* item) {
    std::lock_guard lock(Timer->QueueLock);
    item->Trigger();
    Woken = true;
    Wake.notify_all();
}

void TTlgrmMonitor::SetTimeout(uint32_t ms) {
    Serv->SetTimeoutCount(static_cast<uint8_t>(std::clamp<uint32_t>(ms / 20, 1, 255)));
}

bool TTlgrmMonitor::Open(const char* name) {
    Port->Open(name);
    return IsOpen();
}

bool TTlgrmMonitor::SetLineState(const SerialLineState& state) {
    if (!IsOpen()) return false;
    Port->LineState = state;
    return Port->SetState();
}

bool TTlgrmMonitor::GetLineState(SerialLineState& state) {
    if (!IsOpen() || !Port->GetState()) return false;
    state = Port->LineState;
    return true;
}

void TTlgrmMonitor::Idle(int ms) {
    std::unique_lock lock(Timer->QueueLock);
    Wake.wait_for(lock, milliseconds(ms), [this] { return Terminated || Woken; });
    Woken = false;
}

void TTlgrmMonitor::Execute() {
    while (!Terminated) {
        try {
            Pass();
        } catch (...) {
            // a failing callback costs its pass, not the scheduler
        }
    }
}

void TTlgrmMonitor::Pass() {
    TTlgrItem* item = nullptr;
    bool crowded = false;
    {
        std::lock_guard lock(Timer->QueueLock);
        item = Queue.Select();
        crowded = Queue.Count() > MaxQueue;
        if (item && crowded) item->State = TTlgrItem::Removed;
        if (Queue.Count() > 0) Timer->Resume();
    }
    if (!item) {
        Idle(IdleMs);
        return;
    }
    if (crowded) return;

    _TlgrHeader* const header = item->GetHeader();
    const auto failed = [&] {
        if (item->OnError && !Terminated) item->OnError(header);
    };
    // A data length the frame's Len cannot carry is refused, not sent cut.
    if (header->Length > TTlgrItem::MaxData || (header->Length > 0 && !header->Data)) {
        failed();
        return;
    }
    Serv->SetExpectedSource(header->Dst);
    Frame[0] = header->Dst;
    Frame[1] = header->Src;
    Frame[2] = static_cast<uint8_t>(header->Length + 4);
    Frame[3] = header->Fnc;
    std::copy(header->Data, header->Data + header->Length, Frame + 4);
    if (!IsOpen()) {
        failed();
        Idle(10);
        return;
    }
    Serv->WriteRequest(Frame, size_t{header->Length} + 4);
    Serv->Purge();
    if (Serv->WaitForReply() == ComServ::Reply && Serv->ReadReply(Frame, sizeof Frame) >= 4) {
        if (item->OnReceive && !Terminated) {
            Frame[2] = static_cast<uint8_t>(Frame[2] - 4);
            item->OnReceive(Frame);
        }
    } else {
        failed();
    }
}
