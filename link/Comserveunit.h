// ComServ: the framing layer. It sends one request frame at a time through a
// ComObj and collects the matching reply frame.
//
// Unit frame on the wire: Dst, Src, Len, Fnc, Len - 4 data bytes, BCC.
// Len counts Dst up to the last data byte (4..255); BCC is the XOR of the Len
// bytes before it, so the whole frame XORs to 0. A frame takes Len + 1 bytes,
// up to 256.
//
// One request (any thread, but one at a time; the framing thread must be idle):
//   WriteRequest(frame, Len)   the frame without BCC; frame[2] need not be Len
//                              (the firmware loader's LEN is its own)
//   Purge()                    drop stale received bytes: until 5 ms silence
//   StartRequest()             the framing thread adds the BCC and sends
//   WaitOutcome(sliceMs)       Reply, Timeout or Error; Pending when the slice
//                              passed first (call again: the loader honours Esc
//                              between slices); WaitForReply() waits it out
//   ReadReply(buffer)          after Reply: the reply frame without its BCC
// Request() does WriteRequest, the Purge when the options ask for it, and
// StartRequest in one call.
//
// Reply recognition with the options' defaults (the unit link): the first
// byte must be the request's Src (other bytes before it are dropped, each
// within the first-byte time-out), the second the expected source (the
// request's Dst, or SetExpectedSource); a wrong second byte, a Len below 4 or
// a wrong BCC drain the line until 7 ms of silence and give Error.
// Time-out count C (SetTimeoutCount, at least 1): first byte within C x 20 ms,
// every further byte within C x 3 ms of the one before; a reply that stops
// half-way is a Timeout. The unit link uses C = 25 (500 ms, 75 ms).
//
// Options for the firmware loader's variant: CheckAddresses = false takes the
// first two reply bytes as they come; PurgeBeforeRequest = false sends
// without draining; TimeoutCount gives C at creation (the loader starts at 3).
// For example:
//   ComObj port({.WriteLimitMs = 0});
//   ComServ serv(&port, {.CheckAddresses = false, .PurgeBeforeRequest = false, .TimeoutCount = 3});
//   port.Open("\\.\COM1");  ComLineSettings(port.LineState, 57600);  port.SetState();
//   serv.Request(telegram, telegram[2]);   // 0x99 0x88 LEN payload
//   int r;  while ((r = serv.WaitOutcome(50)) == ComServ::Pending) { /* window messages, Esc */ }
// A wait left at Pending must be taken up again until its outcome (or the
// object destroyed) before the next request: one request at a time.
#pragma once

#include "Com.h"
#include "FunctionCodes.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

// The receiving half of the framing thread, without its waits: takes the
// reply's bytes from its first on and says when the frame is complete or
// broken (second byte not the expected source, Len below 4, wrong BCC).
class TReplyCollector {
public:
    enum TResult { More, Complete, Broken };

    // checkSource false takes the second byte as it comes.
    void Begin(uint8_t first, bool checkSource, uint8_t expectedSource);
    TResult Add(uint8_t byte);
    // After Complete: the frame without its BCC, Length() = its Len bytes
    // (4..255). The length byte sits in front of it, ready for the reply pipe.
    const uint8_t* Message() const { return Buffer; }
    const uint8_t* Frame() const { return Buffer + 1; }
    size_t Length() const { return Len; }

private:
    enum { Header2, LenByte, FncByte, DataByte, CheckByte } Step = Header2;
    uint8_t Buffer[1 + 256] = {};
    uint8_t Xor = 0;
    bool CheckSource = true;
    uint8_t ExpectedSource = 0;
    size_t Len = 0;
    size_t Count = 0;  // frame bytes stored
};

struct ComServOptions {
    bool CheckAddresses = true;
    bool PurgeBeforeRequest = true;
    uint8_t TimeoutCount = 1;
};

class ComServ {
public:
    enum TState { Idle, WaitFirstByte, Receiving, Drain };
    enum TOutcome { Error = -1, Timeout = 0, Reply = 1, Pending = 2 };
    static constexpr size_t MaxFrame = 256;  // Len 255 and the BCC

    explicit ComServ(ComObj* port, ComServOptions options = {});
    ComServ(const ComServ&) = delete;
    ComServ& operator=(const ComServ&) = delete;
    // Ends a pending wait with Error and the framing thread by itself.
    ~ComServ();

    // len is 1..255 (a unit request has 4..255); false when refused, also
    // while the request before is still being served (its wait given up).
    bool WriteRequest(const uint8_t* frame, size_t len);
    void Purge();
    void StartRequest();
    bool Request(const uint8_t* frame, size_t len);
    // sliceMs < 0 waits without a limit (never Pending).
    int WaitOutcome(int sliceMs);
    // StartRequest, then the whole wait: 1 reply, 0 time-out, -1 error or terminate.
    int WaitForReply();
    // Reads the waiting reply message into buffer (room for 255 bytes):
    // returns its length (the reply's Len), or -1 when none waits.
    int ReadReply(uint8_t* buffer, size_t size);

    void SetTimeoutCount(uint8_t count) { Count = count ? count : 1; }
    uint8_t GetTimeoutCount() const { return Count; }
    void SetExpectedSource(uint8_t source) { ExpectedSource = source; }
    TState GetState() const { return State; }
    // Makes a pending and every later wait return -1 at once.
    void Terminate();

private:
    ComObj* const Port;
    const ComServOptions Options;
    std::atomic<uint8_t> Count;
    std::atomic<uint8_t> ExpectedSource{QXWire::UnitAddress};
    std::atomic<TState> State{Idle};
    std::atomic<bool> Terminating{false};
    int RequestPipe[2] = {-1, -1};
    int ReplyPipe[2] = {-1, -1};

    std::mutex Lock;
    std::condition_variable Changed;
    bool RequestReady = false;
    bool Serving = false;  // from StartRequest until the outcome
    int Outcome = Pending;
    std::thread Thread;

    // Framing thread's own.
    uint8_t Message[1 + MaxFrame] = {};
    TReplyCollector Collector;

    void Run();
    void Serve();
    void Finish(int outcome);
    bool DrainLine();
    void Fail();  // drain until 7 ms of silence, then Error
};

// The XOR of n bytes: the check byte of a frame.
uint8_t FrameCheck(const uint8_t* bytes, size_t n);
