// The reply collector of the framing layer on arbitrary line bytes: never a
// write past its buffer, and every frame it calls complete is a valid one.
// The first input byte chooses whether the source address is checked.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "Comserveunit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const bool checkSource = data[0] & 1;
    TReplyCollector collector;
    bool started = false;
    for (size_t i = 1; i < size; ++i) {
        if (!started) {
            collector.Begin(data[i], checkSource, 0xEC);
            started = true;
            continue;
        }
        const auto result = collector.Add(data[i]);
        if (result == TReplyCollector::More) continue;
        started = false;
        if (result == TReplyCollector::Complete) {
            const size_t len = collector.Length();
            const uint8_t* frame = collector.Frame();
            if (len < 4 || len > 255 || frame[2] != len || collector.Message()[0] != len) std::abort();
            if (checkSource && frame[1] != 0xEC) std::abort();
            if ((FrameCheck(frame, len) ^ data[i]) != 0) std::abort();
        }
    }
    return 0;
}
