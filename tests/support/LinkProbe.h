// Records the outcomes the link facade hands to its handlers, with the time
// each arrived, so that tests can wait for them.
#pragma once

#include "Basecommodule.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

class LinkProbe {
public:
    using Clock = std::chrono::steady_clock;
    struct Event {
        bool Reply;
        std::vector<uint8_t> Copy;  // the reply copy's first 4 + data-length bytes
        Clock::time_point At;
    };

    explicit LinkProbe(TBaseComModule& link);
    ~LinkProbe();  // detaches both handlers

    // Waits until count outcomes have arrived in all; false after the limit.
    bool WaitFor(size_t count, std::chrono::milliseconds limit = std::chrono::seconds(3));
    std::vector<Event> Events();

private:
    TBaseComModule& Link;
    std::mutex Lock;
    std::condition_variable Changed;
    std::vector<Event> Recorded;
    void Record(bool reply);
};
