// ComObj: one serial port with its own reader and writer threads. It moves
// bytes, nothing more; frames are the framing layer's business.
//
// Send side: SendMessage puts one message (a 16-bit length, then the bytes)
// into the send pipe; the writer thread takes it out and writes it to the
// port in one go. The send pipe's readability is the send-request event: one
// message sent is one message written. A message arriving while the port is
// closed is dropped.
//
// Receive side: the reader thread forwards every received byte into the
// receive pipe at once and counts it on the received-byte counter; a
// consumer waits on the counter (ReceiveByte) and then reads exactly that
// one byte. Bytes beyond the counter's maximum (1024 outstanding) are
// dropped; the framing layer drains the line before every request.
//
// Both threads wait with poll() on the port and on a wake-up descriptor, so
// Close and Stop end a pending read or write at once; the threads always end
// by themselves, none is killed. While the port is closed both threads sleep
// without waking.
//
// Options: WriteLimitMs is how long the writer lets one frame take before it
// abandons it silently (the reply time-out then reports the failure); the
// unit link uses 200 ms, 0 means no limit (the firmware loader). Port and
// Clock put a stand-in port and clock in place of the device and the steady
// clock, so that tests can drive time-outs without waiting for them.
#pragma once

#include "SerialPort.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

// The time the link's waits are measured in: the steady clock, or in tests
// a clock that moves only when told.
class TComClock {
public:
    using Clock = std::chrono::steady_clock;
    virtual ~TComClock() = default;
    virtual Clock::time_point Now() const = 0;
    // Waits on changed (its lock held) until it is notified or Now() has
    // reached the deadline; the latter gives timeout.
    virtual std::cv_status WaitUntil(std::condition_variable& changed, std::unique_lock<std::mutex>& lock,
                                     Clock::time_point deadline) = 0;
    static TComClock& Steady();
};

// Counting semaphore of received bytes with a maximum, a time-limited wait
// and a wait that another thread can cut short.
class TByteCounter {
public:
    using Clock = TComClock::Clock;
    enum class TWait { Byte, Timeout, Aborted };

    // The deadlines of Acquire are times of the clock (by default the steady one).
    explicit TByteCounter(int maximum, TComClock* clock = nullptr)
        : Maximum(maximum), Time(clock ? *clock : TComClock::Steady()) {}
    // Adds n, at most up to the maximum; returns how many were added.
    int Release(int n);
    // Takes one; waits until the deadline or until *abort is set (checked
    // whenever WakeAll is called).
    TWait Acquire(Clock::time_point deadline, const std::atomic<bool>* abort = nullptr);
    void WakeAll();
    int Count() const;
    int Room() const;

private:
    const int Maximum;
    TComClock& Time;
    int Value = 0;
    mutable std::mutex Lock;
    std::condition_variable Changed;
};

// The line settings every opened port gets, the unit link's and the firmware
// loader's alike: the given baud rate, 8 data bits, no parity, one stop bit,
// binary, no parity check, no CTS/DSR flow control, no XON/XOFF, DTR off,
// RTS raised while transmitting. Fields not named keep what was read.
void ComLineSettings(SerialLineState& state, uint32_t baudRate);

struct ComObjOptions {
    int WriteLimitMs = 200;
    // Stand-ins for tests, not owned: null for the serial device and the
    // steady clock.
    TComPort* Port = nullptr;
    TComClock* Clock = nullptr;
};

class ComObj {
public:
    static constexpr size_t MaxMessage = 256;   // a frame of Len 255 with its check byte
    static constexpr int MaxOutstanding = 1024;

    explicit ComObj(ComObjOptions options = {});
    ComObj(const ComObj&) = delete;
    ComObj& operator=(const ComObj&) = delete;
    virtual ~ComObj();

    // Ends both threads (they end by themselves, promptly), then closes the port.
    virtual void Stop();
    // Starts both threads with the port closed; nothing when they run.
    virtual void Start();

    // Opens the named port ("\\.\COM<n>", "COM<n>" or a device path), closing
    // an open one first. Success is IsOpen(); a failure's cause is OpenError().
    bool Open(const char* name);
    // Discards pending input and output and closes the port; a pending read or
    // write ends at once. Nothing when closed.
    void Close();
    bool IsOpen() const;
    std::string OpenError() const;

    // The line settings copy: Open and GetState read the port into it,
    // SetState writes it to the port. Only while open; false otherwise or
    // when the port refuses them.
    SerialLineState LineState;
    bool SetState();
    bool GetState();

    // Framing-layer side. SendMessage: n is 1..MaxMessage; false when refused.
    bool SendMessage(const uint8_t* bytes, size_t n);
    // Waits for one received byte and reads it.
    TByteCounter::TWait ReceiveByte(TByteCounter::Clock::time_point deadline, uint8_t& byte,
                                    const std::atomic<bool>* abort = nullptr);
    TByteCounter& ReceivedBytes() { return Received; }
    // The clock of every wait on this port.
    TComClock& GetClock() { return Time; }

private:
    const ComObjOptions Options;
    TComClock& Time;
    int SendPipe[2] = {-1, -1};
    int ReceivePipe[2] = {-1, -1};
    int ReaderWake[2] = {-1, -1};
    int WriterWake[2] = {-1, -1};
    TByteCounter Received{MaxOutstanding, &Time};

    // Port and thread hand-over: a thread that uses the port counts itself in
    // Users; Close waits until none does before it closes the descriptor.
    mutable std::mutex Lock;
    std::condition_variable Changed;
    std::unique_ptr<TComPort> OwnPort;  // the serial device, unless a stand-in was given
    TComPort* const Port;
    std::atomic<bool> PortOpen{false};
    bool Closing = false;
    bool Stopping = false;
    int Users = 0;
    std::thread Reader;
    std::thread Writer;

    void ReaderLoop();
    void WriterLoop();
    void WakeThreads();
    bool TakePort(int& fd, SerialRts& rts);
    void ReleasePort();
    bool WriteFrame(int fd, SerialRts rts, const uint8_t* bytes, size_t n);
};
