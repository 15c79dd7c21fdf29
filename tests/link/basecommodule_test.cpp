// The link facade through the whole stack down to a simulated unit.
#include "Basecommodule.h"
#include "LinkProbe.h"
#include "SimUnit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

namespace {

class Facade : public ::testing::Test {
protected:
    SimUnit sim;
    TBaseComModule link{nullptr};

    void SetUp() override { sim.MapComPort(3); }
    void TearDown() override { unsetenv("QX318_COM3"); }

    // Writes one request into the facade and sends it.
    void Request(uint8_t fnc, const Bytes& data) {
        _TlgrHeader* h = link.GetHeader();
        h->Dst = 0xEC;
        h->Src = 0x88;
        h->Length = static_cast<uint8_t>(data.size());
        h->Fnc = fnc;
        std::copy(data.begin(), data.end(), link.GetData());
        link.Send();
    }
};

}  // namespace

TEST_F(Facade, OpenSetsTheLinksLineSettings) {
    ASSERT_TRUE(link.Open(3, 1)) << link.OpenError();
    EXPECT_TRUE(link.IsOpen());
    SerialLineState state;
    ASSERT_TRUE(link.GetMonitor()->GetLineState(state));
    EXPECT_EQ(state.BaudRate, 57600u);
    EXPECT_EQ(state.ByteSize, 8);
    EXPECT_EQ(state.Parity, SerialLineState::NoParity);
    EXPECT_EQ(state.StopBits, SerialLineState::OneStopBit);
    const termios tio = sim.LineSettings();
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B57600));
    EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL), static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u);

    const struct {
        int index;
        speed_t speed;
    } rates[] = {{0, B9600}, {2, B115200}};
    for (const auto& r : rates) {
        ASSERT_TRUE(link.Open(3, r.index));
        const termios now = sim.LineSettings();
        EXPECT_EQ(cfgetospeed(&now), r.speed) << r.index;
    }
}

TEST_F(Facade, ABaudIndexOutsideTheTableOpensNothing) {
    ASSERT_TRUE(link.Open(3, 1));
    for (int index : {3, -1}) {
        EXPECT_FALSE(link.Open(3, index));
        EXPECT_FALSE(link.IsOpen());
    }
}

TEST_F(Facade, AMissingPortIsNamedWithItsCause) {
    EXPECT_FALSE(link.Open(97, 1));
    EXPECT_EQ(link.OpenError(), "\\\\.\\COM97: no such device");
    setenv("QX318_COM4", "/dev/qx-not-here", 1);
    EXPECT_FALSE(link.Open(4, 1));
    EXPECT_EQ(link.OpenError(), "\\\\.\\COM4 (/dev/qx-not-here): no such device");
    unsetenv("QX318_COM4");
    EXPECT_FALSE(link.IsOpen());
    link.Close();
}

TEST_F(Facade, SendWithoutAPortDoesNothing) {
    LinkProbe probe(link);
    Request(0xC3, {});
    EXPECT_FALSE(probe.WaitFor(1, 120ms));
    EXPECT_TRUE(sim.Wire().empty());
}

TEST_F(Facade, AReplyLandsInTheReplyCopy) {
    sim.On(0xB2, [](SimUnit&, const SimUnit::Request& r) {
        return SimUnit::Answer{0x32, {r.Data[0], r.Data[1], r.Data[2], 0x11, 0x22}};
    });
    LinkProbe probe(link);
    ASSERT_TRUE(link.Open(3, 1));
    Request(0xB2, {0x00, 0x10, 0x00, 0x02});
    ASSERT_TRUE(probe.WaitFor(1));
    const auto events = probe.Events();
    ASSERT_TRUE(events[0].Reply);
    EXPECT_EQ(events[0].Copy, (Bytes{0x88, 0xEC, 5, 0x32, 0x00, 0x10, 0x00, 0x11, 0x22}));
    // EC 88 08 B2 00 10 00 02, check byte 0xCC.
    EXPECT_EQ(sim.Wire(), (Bytes{0xEC, 0x88, 0x08, 0xB2, 0x00, 0x10, 0x00, 0x02, 0xCC}));
}

TEST_F(Facade, OpenCloseReopenAndExchangeEachTime) {
    LinkProbe probe(link);
    for (size_t round = 1; round <= 3; ++round) {
        ASSERT_TRUE(link.Open(3, 1));
        Request(0xC3, {});
        ASSERT_TRUE(probe.WaitFor(round));
        EXPECT_TRUE(probe.Events().back().Reply);
        link.Close();
        EXPECT_FALSE(link.IsOpen());
    }
}

TEST(FacadeLife, StartAndStopWithAndWithoutAnOpenPort) {
    SimUnit sim;
    sim.MapComPort(5);
    for (int variant = 0; variant < 3; ++variant) {
        const auto t0 = Clock::now();
        {
            TBaseComModule link(nullptr);
            if (variant >= 1) {
                ASSERT_TRUE(link.Open(5, 1));
            }
            if (variant == 2) {  // and a reply wait pending
                sim.Script({.Silent = true});
                link.GetHeader()->Fnc = 0xC3;
                link.Send();
                ASSERT_TRUE(sim.WaitForRequests(1, 1000));
            }
        }
        EXPECT_LT(Clock::now() - t0, 300ms) << "variant " << variant;
    }
    // The port was closed with the link: it opens again.
    ComObj com;
    EXPECT_TRUE(com.Open(sim.Path().c_str()));
    unsetenv("QX318_COM5");
}

// The reply time-outs of the link (500 ms to the first byte, 75 ms between
// bytes) and the drain after a broken reply, each measured once.
class LinkTimeouts : public Facade {
protected:
    LinkProbe probe{link};
    void SetUp() override {
        Facade::SetUp();
        ASSERT_TRUE(link.Open(3, 1));
    }
    // Sends a model-version request and returns the outcome with its delay
    // after the request reached the unit.
    std::pair<bool, std::chrono::milliseconds> Outcome() {
        const size_t before = probe.Events().size();
        const size_t requests = sim.RequestCount();
        Request(0xC3, {});
        EXPECT_TRUE(probe.WaitFor(before + 1));
        EXPECT_TRUE(sim.WaitForRequests(requests + 1, 100));
        const auto event = probe.Events().back();
        const auto sent = sim.Requests().back().At;
        return {event.Reply, std::chrono::duration_cast<std::chrono::milliseconds>(event.At - sent)};
    }
};

TEST_F(LinkTimeouts, NoReplyAndALateReply) {
    sim.Script({.Silent = true});
    auto [reply, after] = Outcome();
    EXPECT_FALSE(reply);
    EXPECT_GE(after, 450ms);  // measured from the unit's receipt, after the timer started
    EXPECT_LT(after, 800ms);

    // A reply for another address is no reply at all.
    sim.Script({.ChangeIndex = 0, .ChangeTo = 0x89, .FixCheck = true});
    std::tie(reply, after) = Outcome();
    EXPECT_FALSE(reply);
    EXPECT_GE(after, 450ms);  // measured from the unit's receipt, after the timer started

    // Late: 650 ms. The time-out comes first; the late reply is drained away
    // before the next request, which is answered in time.
    sim.Script({.DelayMs = 650});
    std::tie(reply, after) = Outcome();
    EXPECT_FALSE(reply);
    std::this_thread::sleep_for(400ms);
    std::tie(reply, after) = Outcome();
    EXPECT_TRUE(reply);
    EXPECT_LT(after, 150ms);
    EXPECT_EQ(probe.Events().back().Copy.size(), 20u);

    // In time: 300 ms.
    sim.Script({.DelayMs = 300});
    std::tie(reply, after) = Outcome();
    EXPECT_TRUE(reply);
}

TEST_F(LinkTimeouts, AReplyThatStopsAndOneThatDrains) {
    // Three bytes, then silence: a time-out 75 ms after the third byte.
    sim.Script({.PauseIndex = 3, .PauseMs = 400});
    auto [reply, after] = Outcome();
    EXPECT_FALSE(reply);
    EXPECT_GE(after, 74ms);
    EXPECT_LT(after, 300ms);

    // A byte left out: the collector waits for the missing one in vain.
    std::this_thread::sleep_for(450ms);  // the rest of the stopped reply arrives; the drain takes it

    sim.Script({.DropIndex = 10});
    std::tie(reply, after) = Outcome();
    EXPECT_FALSE(reply);
    EXPECT_GE(after, 74ms);
    EXPECT_LT(after, 300ms);

    // A gap of 25 ms in the middle is still one reply.
    sim.Script({.PauseIndex = 10, .PauseMs = 25});
    std::tie(reply, after) = Outcome();
    EXPECT_TRUE(reply);

    // A wrong check byte followed by a stream of noise: the error comes only
    // once the line has been quiet for 7 ms.
    SimUnit::Fault noisy{.ChangeIndex = 20, .ChangeTo = 0x00};
    sim.Script(noisy);
    const size_t before = probe.Events().size();
    Request(0xC3, {});
    ASSERT_TRUE(sim.WaitForRequests(sim.RequestCount(), 100));
    std::vector<Clock::time_point> noise;
    for (int i = 0; i < 10; ++i) {
        std::this_thread::sleep_for(2ms);
        sim.Send({0x55});
        noise.push_back(Clock::now());
    }
    ASSERT_TRUE(probe.WaitFor(before + 1));
    const auto event = probe.Events().back();
    EXPECT_FALSE(event.Reply);
    // Not before the noise began and 7 ms of quiet followed some byte of it
    // (a busy machine may open a longer gap anywhere in the stream).
    EXPECT_GE(event.At - noise[0], 6ms);
}
