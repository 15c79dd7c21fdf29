// Stand-ins for the port and the clock under ComObj, so that a test drives
// the link's time-outs without waiting for them.
//
// TFakePort: the port is one end of a socket pair; the test plays the unit
// at the other end (Unit writes bytes to the link, Sent reads what the link
// wrote). Opening succeeds for any name unless told otherwise; the line
// settings are kept as given.
//
// TManualClock: time moves only by Advance. A wait on it ends when its
// deadline is reached (or when it is notified); Waits tells whether some
// thread has waited for a given deadline, so that the test knows the link
// is in the wait it means before it moves the time.
#pragma once

#include "Com.h"

#include <chrono>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class TFakePort : public TComPort {
public:
    TFakePort();
    ~TFakePort() override;

    bool Open(const std::string& name) override;
    void Close() override { Opened = false; }
    bool IsOpen() const override { return Opened; }
    int Handle() const override { return Opened ? Link : -1; }
    SerialRts Rts() const override { return SerialRts::None; }
    const std::string& Error() const override { return LastError; }
    bool GetState(SerialLineState& state) override;
    bool SetState(const SerialLineState& state) override;
    long Read(uint8_t* bytes, size_t n) override;
    long Write(const uint8_t* bytes, size_t n) override;
    void DiscardOutput() override {}

    // The unit's side.
    void Unit(const std::vector<uint8_t>& bytes);
    // What the link has written so far, waiting up to limit (real time) for
    // at least n bytes.
    std::vector<uint8_t> Sent(size_t n, std::chrono::milliseconds limit = std::chrono::seconds(5));

    std::string Refusal;  // non-empty: Open fails with this error

private:
    int Link = -1;
    int UnitSide = -1;
    bool Opened = false;
    std::string LastError;
    SerialLineState State;
    std::vector<uint8_t> Received;
};

class TManualClock : public TComClock {
public:
    Clock::time_point Now() const override;
    std::cv_status WaitUntil(std::condition_variable& changed, std::unique_lock<std::mutex>& lock,
                             Clock::time_point deadline) override;
    void Advance(Clock::duration by);
    // True once some thread has waited for this deadline (waits up to limit, real time).
    bool Waits(Clock::time_point deadline, std::chrono::milliseconds limit = std::chrono::seconds(5)) const;

private:
    mutable std::mutex Lock;
    Clock::time_point Time{std::chrono::hours(1)};
    std::set<Clock::time_point> Deadlines;
};
