// The framing layer against a simulated unit: frames byte for byte, the check
// byte, address checks, stray bytes, the drain, and the loader's variant.
// Frames below are written out by hand from the frame layout.
#include "Comserveunit.h"
#include "FakePort.h"
#include "SimUnit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

namespace {

// The model-version reply of the simulated unit ("V2.7 SIM" in 16 bytes), no BCC.
const Bytes ModelReply = {0x88, 0xEC, 0x14, 0x43, 'V', '2', '.', '7', ' ', 'S', 'I', 'M',
                          0,    0,    0,    0,    0,   0,   0,   0};
constexpr uint8_t ModelReplyBcc = 0x88 ^ 0xEC ^ 0x14 ^ 0x43 ^ 'V' ^ '2' ^ '.' ^ '7' ^ ' ' ^ 'S' ^ 'I' ^ 'M';

class Framing : public ::testing::Test {
protected:
    SimUnit sim;
    ComObj com;
    ComServ serv{&com};

    void SetUp() override {
        ASSERT_TRUE(com.Open(sim.Path().c_str())) << com.OpenError();
        serv.SetTimeoutCount(25);
    }

    // One exchange as the scheduler does it.
    int Exchange(const Bytes& request, Bytes* reply = nullptr) {
        serv.SetExpectedSource(request[0]);
        EXPECT_TRUE(serv.WriteRequest(request.data(), request.size()));
        serv.Purge();
        const int outcome = serv.WaitForReply();
        if (outcome == ComServ::Reply && reply) {
            uint8_t buffer[255];
            const int n = serv.ReadReply(buffer, sizeof buffer);
            reply->assign(buffer, buffer + std::max(n, 0));
        }
        EXPECT_EQ(serv.GetState(), ComServ::Idle);
        return outcome;
    }
};

}  // namespace

TEST_F(Framing, ModelVersionRequestAndReplyByteForByte) {
    Bytes reply;
    ASSERT_EQ(Exchange({0xEC, 0x88, 0x04, 0xC3}, &reply), ComServ::Reply);
    EXPECT_EQ(sim.Wire(), (Bytes{0xEC, 0x88, 0x04, 0xC3, 0xA3}));
    EXPECT_EQ(reply, ModelReply);
}

TEST_F(Framing, RepliesJudgedByAddressLengthAndCheckByte) {
    Bytes good = ModelReply;
    good.push_back(ModelReplyBcc);
    struct Case {
        const char* what;
        SimUnit::Fault fault;
        int outcome;
    };
    const Case cases[] = {
        {"stray bytes before the reply", {.Before = {0x00, 0xEC, 0x13, 0x7F}}, ComServ::Reply},
        // The echo's 0x88 starts a reply whose second byte is wrong.
        {"an echo of the request first", {.Before = {0xEC, 0x88, 0x04, 0xC3, 0xA3}}, ComServ::Error},
        {"wrong check byte", {.ChangeIndex = 20, .ChangeTo = static_cast<uint8_t>(ModelReplyBcc ^ 1)}, ComServ::Error},
        {"changed data byte", {.ChangeIndex = 5, .ChangeTo = '3'}, ComServ::Error},
        {"foreign source address", {.ChangeIndex = 1, .ChangeTo = 0xED, .FixCheck = true}, ComServ::Error},
        {"length below 4", {.Raw = Bytes{0x88, 0xEC, 0x03, 0x43, 0x28}}, ComServ::Error},
        {"length 0", {.Raw = Bytes{0x88, 0xEC, 0x00, 0x64}}, ComServ::Error},
    };
    for (const Case& c : cases) {
        sim.Script(c.fault);
        Bytes reply;
        EXPECT_EQ(Exchange({0xEC, 0x88, 0x04, 0xC3}, &reply), c.outcome) << c.what;
        if (c.outcome == ComServ::Reply) {
            EXPECT_EQ(reply, ModelReply) << c.what;
        }
    }
    // After all that the line is in step again.
    Bytes reply;
    EXPECT_EQ(Exchange({0xEC, 0x88, 0x04, 0xC3}, &reply), ComServ::Reply);
    EXPECT_EQ(reply, ModelReply);
}

TEST_F(Framing, ShortestAndLongestReplies) {
    sim.On(0x10, [](SimUnit&, const SimUnit::Request&) { return SimUnit::Answer{0x90, {}}; });
    sim.On(0x11, [](SimUnit&, const SimUnit::Request&) {
        Bytes data(251);
        for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(0xFF - i);
        return SimUnit::Answer{0x91, data};
    });
    Bytes reply;
    ASSERT_EQ(Exchange({0xEC, 0x88, 0x04, 0x10}, &reply), ComServ::Reply);
    EXPECT_EQ(reply, (Bytes{0x88, 0xEC, 0x04, 0x90}));
    ASSERT_EQ(Exchange({0xEC, 0x88, 0x04, 0x11}, &reply), ComServ::Reply);
    ASSERT_EQ(reply.size(), 255u);
    EXPECT_EQ(reply[2], 255);
    EXPECT_EQ(reply[3], 0x91);
    EXPECT_EQ(reply[4], 0xFF);
    EXPECT_EQ(reply[254], 0xFF - 250);
}

TEST_F(Framing, TheLongestRequestTravelsIntact) {
    Bytes request{0xEC, 0x88, 0xFF, 0x32};
    for (int i = 0; i < 251; ++i) request.push_back(static_cast<uint8_t>(i));
    uint8_t bcc = 0;
    for (uint8_t b : request) bcc ^= b;
    sim.On(0x32, [](SimUnit&, const SimUnit::Request&) { return SimUnit::Answer{0xE0, {}}; });
    ASSERT_EQ(Exchange(request), ComServ::Reply);
    Bytes wire = request;
    wire.push_back(bcc);
    EXPECT_EQ(sim.Wire(), wire);
    ASSERT_EQ(sim.Requests().size(), 1u);
    EXPECT_EQ(sim.Requests()[0].Data.size(), 251u);
}

TEST_F(Framing, PurgeDropsStaleBytesBeforeTheRequest) {
    sim.Send({0x88, 0xEC, 0x05, 0x43, 0x00, 0x22});  // a late reply of an earlier request
    const auto limit = Clock::now() + 5s;
    while (com.ReceivedBytes().Count() < 6 && Clock::now() < limit) std::this_thread::sleep_for(1ms);
    ASSERT_EQ(com.ReceivedBytes().Count(), 6);
    serv.Purge();
    EXPECT_EQ(com.ReceivedBytes().Count(), 0);
    Bytes reply;
    EXPECT_EQ(Exchange({0xEC, 0x88, 0x04, 0xC3}, &reply), ComServ::Reply);
    EXPECT_EQ(reply, ModelReply);
}

TEST_F(Framing, ARequestIsRefusedWhenItCannotBeAFrame) {
    const uint8_t frame[256] = {};
    EXPECT_FALSE(serv.WriteRequest(frame, 0));
    EXPECT_FALSE(serv.WriteRequest(frame, 256));
    EXPECT_FALSE(serv.WriteRequest(nullptr, 4));
}

TEST_F(Framing, NoSecondRequestWhileTheFirstIsStillServed) {
    // A waiter that gave up on its slice must not slip its next request in
    // while the first is still served: the next would be answered with the
    // first one's outcome, or dropped unsent.
    sim.Script({.Silent = true});
    serv.SetTimeoutCount(255);  // 5.1 s to the first reply byte
    const Bytes request{0xEC, 0x88, 0x04, 0xC3};
    serv.SetExpectedSource(0xEC);
    ASSERT_TRUE(serv.Request(request.data(), request.size()));
    EXPECT_EQ(serv.WaitOutcome(20), ComServ::Pending);
    const Bytes next{0xEC, 0x88, 0x05, 0x10, 0x01};
    EXPECT_FALSE(serv.Request(next.data(), next.size()));
    EXPECT_FALSE(serv.WriteRequest(next.data(), next.size()));
    // The first request's reply ends its wait; the next goes only now.
    Bytes good = ModelReply;
    good.push_back(ModelReplyBcc);
    sim.Send(good);
    EXPECT_EQ(serv.WaitOutcome(-1), ComServ::Reply);
    uint8_t buffer[255];
    ASSERT_EQ(serv.ReadReply(buffer, sizeof buffer), 20);
    EXPECT_EQ(Bytes(buffer, buffer + 20), ModelReply);
    serv.SetTimeoutCount(25);
    Bytes reply;
    EXPECT_EQ(Exchange(request, &reply), ComServ::Reply);
    EXPECT_EQ(reply, ModelReply);
    EXPECT_EQ(sim.RequestCount(), 2u);
}

TEST_F(Framing, TerminateEndsAPendingWait) {
    sim.Script({.Silent = true});
    serv.SetTimeoutCount(255);
    serv.WriteRequest(Bytes{0xEC, 0x88, 0x04, 0xC3}.data(), 4);
    serv.StartRequest();
    EXPECT_EQ(serv.WaitOutcome(20), ComServ::Pending);
    const auto t0 = Clock::now();
    std::thread stopper([&] { serv.Terminate(); });
    EXPECT_EQ(serv.WaitOutcome(-1), ComServ::Error);
    stopper.join();
    // Far below the 5.1 s the wait would otherwise last, with room for a
    // loaded machine.
    EXPECT_LT(Clock::now() - t0, 2s);
}

TEST(FramingLoaderVariant, RepliesAreTakenWithoutAddressesAndTheWaitComesInSlices) {
    SimUnit sim;
    ComObj com({.WriteLimitMs = 0});
    // Count 100: 2 s for the first byte, room enough for the 40 ms late
    // answer on a loaded machine.
    ComServ serv(&com, {.CheckAddresses = false, .PurgeBeforeRequest = false, .TimeoutCount = 100});
    ASSERT_TRUE(com.Open(sim.Path().c_str()));
    EXPECT_EQ(serv.GetTimeoutCount(), 100);
    // A boot-loader reply: two bytes as they come, LEN 6, status 0xE0, two data bytes.
    const Bytes reply{0x12, 0x34, 0x06, 0xE0, 0xAB, 0xCD};
    uint8_t bcc = 0;
    for (uint8_t b : reply) bcc ^= b;
    Bytes raw = reply;
    raw.push_back(bcc);
    sim.On(0x01, [](SimUnit&, const SimUnit::Request&) { return SimUnit::Answer{}; });
    sim.Script({.DelayMs = 40, .Raw = raw});
    // Any frame the simulated unit parses makes it send the scripted bytes.
    const Bytes request{0xEC, 0x88, 0x05, 0x01, 0x02};
    ASSERT_TRUE(serv.Request(request.data(), request.size()));
    int outcome = ComServ::Pending;
    int slices = 0;
    while ((outcome = serv.WaitOutcome(5)) == ComServ::Pending) ++slices;
    EXPECT_EQ(outcome, ComServ::Reply);
    EXPECT_GT(slices, 2);
    uint8_t buffer[256];
    ASSERT_EQ(serv.ReadReply(buffer, sizeof buffer), 6);
    EXPECT_EQ(Bytes(buffer, buffer + 6), reply);
    EXPECT_EQ(sim.Wire(), (Bytes{0xEC, 0x88, 0x05, 0x01, 0x02, 0x62}));
}

TEST(FramingCheckByte, IsTheXorOfTheFrame) {
    const uint8_t frame[] = {0xEC, 0x88, 0x04, 0xC3};
    EXPECT_EQ(FrameCheck(frame, 4), 0xA3);
    const uint8_t none[] = {0};
    EXPECT_EQ(FrameCheck(none, 0), 0);
}

TEST(ReplyCollector, JudgesAReplyAtTheByteThatDecides) {
    const struct {
        const char* what;
        Bytes bytes;  // from the first byte on
        bool checkSource;
        TReplyCollector::TResult result;
        size_t decidedAt;  // index of the deciding byte
    } cases[] = {
        {"model reply", {0x88, 0xEC, 0x05, 0x43, 0x56, 0x74}, true, TReplyCollector::Complete, 5},
        {"no data", {0x88, 0xEC, 0x04, 0x90, 0xF0}, true, TReplyCollector::Complete, 4},
        {"foreign source", {0x88, 0xED, 0x04, 0x90, 0xF1}, true, TReplyCollector::Broken, 1},
        {"any source", {0x12, 0x34, 0x04, 0xE0, 0xC2}, false, TReplyCollector::Complete, 4},
        {"length 3", {0x88, 0xEC, 0x03, 0x90, 0xF7}, true, TReplyCollector::Broken, 2},
        {"length 0", {0x88, 0xEC, 0x00}, false, TReplyCollector::Broken, 2},
        {"wrong check byte", {0x88, 0xEC, 0x05, 0x43, 0x56, 0x75}, true, TReplyCollector::Broken, 5},
    };
    for (const auto& c : cases) {
        TReplyCollector collector;
        collector.Begin(c.bytes[0], c.checkSource, 0xEC);
        TReplyCollector::TResult result = TReplyCollector::More;
        size_t i = 1;
        for (; i < c.bytes.size() && result == TReplyCollector::More; ++i) result = collector.Add(c.bytes[i]);
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_EQ(i - 1, c.decidedAt) << c.what;
        if (result == TReplyCollector::Complete) {
            EXPECT_EQ(collector.Length(), c.bytes.size() - 1) << c.what;
            EXPECT_EQ(Bytes(collector.Frame(), collector.Frame() + collector.Length()),
                      Bytes(c.bytes.begin(), c.bytes.end() - 1))
                << c.what;
            EXPECT_EQ(collector.Message()[0], collector.Length()) << c.what;
        }
    }
}

// The framing layer's waits measured on a clock that moves only when the
// test moves it, over a stand-in port: each time-out comes exactly when it
// is due and not a millisecond before, however busy the machine is.
class FramingTimeouts : public ::testing::Test {
protected:
    TFakePort port;
    TManualClock clock;
    ComObj com{{.Port = &port, .Clock = &clock}};
    ComServ serv{&com};
    size_t sent = 0;

    void SetUp() override {
        ASSERT_TRUE(com.Open("COM3"));
        serv.SetTimeoutCount(25);  // the unit link's: 500 ms, then 75 ms
        serv.SetExpectedSource(0xEC);
    }
    // A model-version request put on the line (no drain before it); the
    // clock's time when it went.
    TComClock::Clock::time_point Request() {
        const auto start = clock.Now();
        const Bytes request{0xEC, 0x88, 0x04, 0xC3};
        EXPECT_TRUE(serv.WriteRequest(request.data(), request.size()));
        serv.StartRequest();
        sent += 5;
        EXPECT_EQ(port.Sent(sent).size(), sent);
        return start;
    }
    // The wait goes on: no outcome while the clock stands before its end.
    bool StillPending() {
        std::this_thread::sleep_for(20ms);
        return serv.WaitOutcome(0) == ComServ::Pending;
    }
    // The unit answers the request: the reply is taken as it comes, with no
    // time gone by on the clock.
    void AnswerInTime() {
        port.Unit(GoodReply());
        EXPECT_EQ(serv.WaitOutcome(-1), ComServ::Reply);
        uint8_t buffer[255];
        ASSERT_EQ(serv.ReadReply(buffer, sizeof buffer), 20);
        EXPECT_EQ(Bytes(buffer, buffer + 20), ModelReply);
    }
    static Bytes GoodReply() {
        Bytes good = ModelReply;
        good.push_back(ModelReplyBcc);
        return good;
    }
};

TEST_F(FramingTimeouts, NoReplyTimesOutAfterHalfASecond) {
    const auto t0 = Request();
    ASSERT_TRUE(clock.Waits(t0 + 500ms));
    clock.Advance(499ms);
    EXPECT_TRUE(StillPending());
    clock.Advance(1ms);
    EXPECT_EQ(serv.WaitOutcome(-1), ComServ::Timeout);
    EXPECT_EQ(serv.GetState(), ComServ::Idle);
}

TEST_F(FramingTimeouts, AReplyThatStopsTimesOut75MsAfterItsLastByte) {
    const auto t0 = Request();
    ASSERT_TRUE(clock.Waits(t0 + 500ms));
    // Three bytes, 100, 110 and 120 ms after the request, then silence.
    clock.Advance(100ms);
    port.Unit({0x88});
    ASSERT_TRUE(clock.Waits(t0 + 175ms));
    clock.Advance(10ms);
    port.Unit({0xEC});
    ASSERT_TRUE(clock.Waits(t0 + 185ms));
    clock.Advance(10ms);
    port.Unit({0x14});
    ASSERT_TRUE(clock.Waits(t0 + 195ms));
    clock.Advance(74ms);
    EXPECT_TRUE(StillPending());
    clock.Advance(1ms);  // far before the 500 ms of the first byte
    EXPECT_EQ(serv.WaitOutcome(-1), ComServ::Timeout);
}

TEST_F(FramingTimeouts, AReplyInTimeIsTakenWithNoTimeGoneBy) {
    Request();
    AnswerInTime();
}

TEST_F(FramingTimeouts, ALateReplyIsDrainedAndTheNextIsAnsweredWithoutAWait) {
    const auto t0 = Request();
    ASSERT_TRUE(clock.Waits(t0 + 500ms));
    clock.Advance(500ms);
    ASSERT_EQ(serv.WaitOutcome(-1), ComServ::Timeout);
    // The late reply arrives; the drain before the next request ends 5 ms
    // after its last byte.
    port.Unit(GoodReply());
    const auto t1 = clock.Now();
    const auto limit = Clock::now() + 5s;
    while (com.ReceivedBytes().Count() < 21 && Clock::now() < limit) std::this_thread::sleep_for(1ms);
    ASSERT_EQ(com.ReceivedBytes().Count(), 21);
    std::thread drain([&] { serv.Purge(); });
    while (com.ReceivedBytes().Count() > 0 && Clock::now() < limit) std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(clock.Waits(t1 + 5ms));
    clock.Advance(5ms);
    drain.join();
    EXPECT_EQ(com.ReceivedBytes().Count(), 0);
    // The next request is answered in time: no time-out on the way.
    Request();
    AnswerInTime();
}

TEST_F(FramingTimeouts, ABrokenReplyGivesItsErrorAfter7MsOfSilence) {
    Request();
    Bytes wrong = GoodReply();
    wrong.back() ^= 1;
    const auto t0 = clock.Now();
    port.Unit(wrong);
    ASSERT_TRUE(clock.Waits(t0 + 7ms));
    clock.Advance(6ms);
    EXPECT_TRUE(StillPending());
    EXPECT_EQ(serv.GetState(), ComServ::Drain);
    clock.Advance(1ms);
    EXPECT_EQ(serv.WaitOutcome(-1), ComServ::Error);
}
