#include "LinkProbe.h"

LinkProbe::LinkProbe(TBaseComModule& link) : Link(link) {
    Link.SetOnReceive([this] { Record(true); });
    Link.SetOnError([this] { Record(false); });
}

LinkProbe::~LinkProbe() {
    Link.SetOnReceive(nullptr);
    Link.SetOnError(nullptr);
}

void LinkProbe::Record(bool reply) {
    Event event{reply, {}, Clock::now()};
    if (reply) {
        const uint8_t* copy = Link.GetReply();
        event.Copy.assign(copy, copy + 4 + copy[2]);
    }
    std::lock_guard lock(Lock);
    Recorded.push_back(std::move(event));
    Changed.notify_all();
}

bool LinkProbe::WaitFor(size_t count, std::chrono::milliseconds limit) {
    std::unique_lock lock(Lock);
    return Changed.wait_for(lock, limit, [&] { return Recorded.size() >= count; });
}

std::vector<LinkProbe::Event> LinkProbe::Events() {
    std::lock_guard lock(Lock);
    return Recorded;
}
