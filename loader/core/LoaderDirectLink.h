// A link to the boot loader straight on a serial device, one thread: the
// request goes out with its check byte, the reply is collected byte by byte
// with the reply time-outs (first byte count x 20 ms, then count x 3 ms).
// The first two reply bytes are taken as they come.
#pragma once

#include <chrono>

#include "LoaderTypes.h"

class TDirectLink : public TLoaderLink {
public:
    TDirectLink() = default;
    TDirectLink(const TDirectLink&) = delete;
    TDirectLink& operator=(const TDirectLink&) = delete;
    ~TDirectLink() override { Close(); }

    bool Open(const std::string& port, int64_t baud) override;
    void SetTimeoutCount(uint8_t count) override { Count = count ? count : 1; }
    bool Send(std::span<const uint8_t> frame) override;
    std::optional<TReplyOutcome> WaitSlice(int sliceMs, std::vector<uint8_t>& reply) override;
    void Close() override;

    // The device path that a port name "COM<n>" stands for; empty when none.
    static std::string DevicePath(const std::string& port);

private:
    using Clock = std::chrono::steady_clock;
    enum class TState { Idle, WaitFirstByte, Receiving, Drain };

    int Fd = -1;
    uint8_t Count = 3;
    TState State = TState::Idle;
    Clock::time_point Deadline;
    std::vector<uint8_t> Received;
    uint8_t Xor = 0;

    std::optional<TReplyOutcome> Take(uint8_t byte, std::vector<uint8_t>& reply);
};
