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
    EXPECT_EQ(link.OpenError(), "COM97: no device");
    setenv("QX318_COM4", "/dev/qx-not-here", 1);
    EXPECT_FALSE(link.Open(4, 1));
    EXPECT_EQ(link.OpenError(), "COM4 (/dev/qx-not-here): No such file or directory");
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
            link.GetMonitor()->SetTimeout(5100);  // a pending wait would last 5.1 s
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
        // Far below the reply wait, with room for a loaded machine.
        EXPECT_LT(Clock::now() - t0, 2s) << "variant " << variant;
    }
    // The port was closed with the link: it opens again.
    ComObj com;
    EXPECT_TRUE(com.Open(sim.Path().c_str()));
    unsetenv("QX318_COM5");
}

// The reply time-outs of the link (500 ms to the first byte, 75 ms between
// bytes) and the drain after a broken reply on the real port, each measured
// once: the lower bounds hold on any machine; late and stopped replies come
// late enough that a slow link still sees its time-out first. Their exact
// lengths are tested on a clock of the test's own (comserv_test).
class LinkTimeouts : public Facade {
protected:
    LinkProbe probe{link};
    void SetUp() override {
        Facade::SetUp();
        ASSERT_TRUE(link.Open(3, 1));
    }
    struct Result {
        bool Reply = false;
        // From just before the request was handed over, so never more than
        // the link's own wait: lower bounds of the first-byte wait hold.
        std::chrono::milliseconds SinceSent{};
        // From the unit's receipt, so without a busy machine's delay on the
        // way out: upper bounds and the waits between bytes.
        std::chrono::milliseconds SinceReceipt{};
    };
    // Sends a model-version request and returns its outcome.
    Result Outcome() {
        const size_t before = probe.Events().size();
        const size_t requests = sim.RequestCount();
        const auto sent = Clock::now();
        Request(0xC3, {});
        EXPECT_TRUE(probe.WaitFor(before + 1, 10s));
        EXPECT_TRUE(sim.WaitForRequests(requests + 1, 5000));
        const auto event = probe.Events().back();
        const auto received = sim.Requests().back().At;
        return {event.Reply, std::chrono::duration_cast<std::chrono::milliseconds>(event.At - sent),
                std::chrono::duration_cast<std::chrono::milliseconds>(event.At - received)};
    }
};

TEST_F(LinkTimeouts, NoReplyAndALateReply) {
    sim.Script({.Silent = true});
    Result r = Outcome();
    EXPECT_FALSE(r.Reply);
    EXPECT_GE(r.SinceSent, 500ms);
    EXPECT_LT(r.SinceReceipt, 1000ms);

    // A reply for another address is no reply at all.
    sim.Script({.ChangeIndex = 0, .ChangeTo = 0x89, .FixCheck = true});
    r = Outcome();
    EXPECT_FALSE(r.Reply);
    EXPECT_GE(r.SinceSent, 500ms);

    // Late: 1 s. The time-out comes first; the late reply is drained away
    // before the next request, which is answered in time.
    sim.Script({.DelayMs = 1000});
    r = Outcome();
    EXPECT_FALSE(r.Reply);
    EXPECT_LT(r.SinceReceipt, 1000ms);
    // The unit tells nobody when its late reply has left: give it that second
    // and a little.
    std::this_thread::sleep_until(sim.Requests().back().At + 1200ms);
    r = Outcome();
    EXPECT_TRUE(r.Reply);
    EXPECT_EQ(probe.Events().back().Copy.size(), 20u);

    // In time: 200 ms, beyond the scheduler's own 160 ms.
    sim.Script({.DelayMs = 200});
    EXPECT_TRUE(Outcome().Reply);
}

TEST_F(LinkTimeouts, AReplyThatStopsAndOneThatDrains) {
    // Three bytes, then silence: a time-out 75 ms after the third byte, well
    // before the 500 ms of the first byte.
    sim.Script({.PauseIndex = 3, .PauseMs = 1000});
    Result r = Outcome();
    EXPECT_FALSE(r.Reply);
    EXPECT_GE(r.SinceReceipt, 74ms);

    // The rest of the stopped reply arrives after its pause; the drain takes it.
    std::this_thread::sleep_until(sim.Requests().back().At + 1200ms);

    // A byte left out: the collector waits for the missing one in vain.
    sim.Script({.DropIndex = 10});
    r = Outcome();
    EXPECT_FALSE(r.Reply);
    EXPECT_GE(r.SinceReceipt, 74ms);

    // A gap of 25 ms in the middle is still one reply.
    sim.Script({.PauseIndex = 10, .PauseMs = 25});
    EXPECT_TRUE(Outcome().Reply);

    // A stream of noise where the check byte belongs: the error comes only
    // once the line has been quiet for 7 ms. The unit holds its own (wrong)
    // check byte back for a second, so that the reply is still open when the
    // noise begins, however late this thread gets to it.
    sim.Script({.ChangeIndex = 20, .ChangeTo = 0x00, .PauseIndex = 20, .PauseMs = 1000});
    const size_t before = probe.Events().size();
    const size_t requests = sim.RequestCount();
    Request(0xC3, {});
    ASSERT_TRUE(sim.WaitForRequests(requests + 1, 5000));
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
