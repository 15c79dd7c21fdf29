// The serial port with its reader and writer threads, against a simulated
// unit on a pseudo-terminal.
#include "Com.h"
#include "SimUnit.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

std::vector<uint8_t> Receive(ComObj& com, size_t n, std::chrono::milliseconds wait = 1000ms) {
    std::vector<uint8_t> bytes;
    uint8_t b = 0;
    while (bytes.size() < n && com.ReceiveByte(Clock::now() + wait, b) == TByteCounter::TWait::Byte)
        bytes.push_back(b);
    return bytes;
}

// Polls a condition until it holds or a deadline generous enough for a
// loaded machine has passed.
template <class Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit = 10s) {
    const auto deadline = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

bool WaitForWire(const SimUnit& sim, size_t n) {
    return WaitUntil([&] { return sim.Wire().size() >= n; });
}

class ComObjTest : public ::testing::Test {
protected:
    SimUnit sim;
    ComObj com;
};

}  // namespace

TEST_F(ComObjTest, MessagesLeaveWholeAndAnEmptyOneIsSkipped) {
    ASSERT_TRUE(com.Open(sim.Path().c_str()));
    std::vector<uint8_t> big(256);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
    EXPECT_TRUE(com.SendMessage(nullptr, 0));
    EXPECT_TRUE(com.SendMessage(big.data(), big.size()));
    const uint8_t tail[] = {0x01, 0x02, 0x03};
    EXPECT_TRUE(com.SendMessage(tail, 3));
    ASSERT_TRUE(WaitForWire(sim, 259));
    std::vector<uint8_t> expected = big;
    expected.insert(expected.end(), tail, tail + 3);
    EXPECT_EQ(sim.Wire(), expected);
    uint8_t tooBig[257] = {};
    EXPECT_FALSE(com.SendMessage(tooBig, sizeof tooBig));
}

TEST_F(ComObjTest, EveryReceivedByteIsCountedOnce) {
    ASSERT_TRUE(com.Open(sim.Path().c_str()));
    sim.Send({0x10, 0x20, 0x30});
    EXPECT_EQ(Receive(com, 3), (std::vector<uint8_t>{0x10, 0x20, 0x30}));
    uint8_t b = 0;
    EXPECT_EQ(com.ReceiveByte(Clock::now() + 20ms, b), TByteCounter::TWait::Timeout);
    EXPECT_EQ(com.ReceivedBytes().Count(), 0);
}

TEST_F(ComObjTest, ReceivedBytesBeyondTheCounterAreDropped) {
    ASSERT_TRUE(com.Open(sim.Path().c_str()));
    sim.Send(std::vector<uint8_t>(1500, 0x55));
    ASSERT_TRUE(WaitUntil([&] { return com.ReceivedBytes().Count() >= ComObj::MaxOutstanding; }));
    std::this_thread::sleep_for(50ms);  // the rest has had its chance to be counted
    EXPECT_EQ(com.ReceivedBytes().Count(), ComObj::MaxOutstanding);
    EXPECT_EQ(Receive(com, 2000, 30ms).size(), static_cast<size_t>(ComObj::MaxOutstanding));
    sim.Send({0x42});
    EXPECT_EQ(Receive(com, 1), std::vector<uint8_t>{0x42});
}

TEST_F(ComObjTest, OpenCloseAndReopen) {
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(com.Open(sim.Path().c_str())) << com.OpenError();
        EXPECT_TRUE(com.IsOpen());
        sim.Send({static_cast<uint8_t>(round)});
        EXPECT_EQ(Receive(com, 1), std::vector<uint8_t>{static_cast<uint8_t>(round)});
        // A read is pending now; closing ends it at once (a read left
        // waiting would never end).
        const auto t0 = Clock::now();
        com.Close();
        EXPECT_LT(Clock::now() - t0, 1s);
        EXPECT_FALSE(com.IsOpen());
        com.Close();  // nothing to do
    }
}

TEST_F(ComObjTest, AMissingPortStaysClosed) {
    EXPECT_FALSE(com.Open("/dev/no-such-tty-here"));
    EXPECT_FALSE(com.IsOpen());
    EXPECT_EQ(com.OpenError(), "/dev/no-such-tty-here: No such file or directory");
    com.Close();
    EXPECT_FALSE(com.Open("\\\\.\\COM200"));
    EXPECT_EQ(com.OpenError(), "COM200: no device");
}

TEST_F(ComObjTest, APortIsOpenedExclusively) {
    ASSERT_TRUE(com.Open(sim.Path().c_str()));
    ComObj other;
    EXPECT_FALSE(other.Open(sim.Path().c_str()));
    EXPECT_NE(other.OpenError().find("busy"), std::string::npos) << other.OpenError();
    com.Close();
    EXPECT_TRUE(other.Open(sim.Path().c_str())) << other.OpenError();
}

TEST_F(ComObjTest, OpeningAnotherPortClosesTheFirst) {
    SimUnit second;
    ASSERT_TRUE(com.Open(sim.Path().c_str()));
    ASSERT_TRUE(com.Open(second.Path().c_str()));
    ComObj other;
    EXPECT_TRUE(other.Open(sim.Path().c_str())) << other.OpenError();
    second.Send({0x77});
    EXPECT_EQ(Receive(com, 1), std::vector<uint8_t>{0x77});
}

TEST(ComObjLife, ThreadsStartAndStopWithAndWithoutAPort) {
    SimUnit sim;
    for (bool open : {false, true}) {
        const auto t0 = Clock::now();
        {
            ComObj com;
            if (open) {
                ASSERT_TRUE(com.Open(sim.Path().c_str()));
            }
            std::this_thread::sleep_for(20ms);  // the reader waits in its read
            com.Stop();
            EXPECT_FALSE(com.IsOpen());
            com.Start();  // and once more
            if (open) {
                ASSERT_TRUE(com.Open(sim.Path().c_str()));
            }
        }
        EXPECT_LT(Clock::now() - t0, 2s) << "open " << open;  // a thread left waiting would never end
    }
}

TEST(ComObjLife, AStalledFrameIsAbandonedAndTheWriterGoesOn) {
    int master = -1, slave = -1;
    char name[128] = {};
    termios raw{};
    cfmakeraw(&raw);
    ASSERT_EQ(openpty(&master, &slave, name, &raw, nullptr), 0);
    fcntl(slave, F_SETFL, fcntl(slave, F_GETFL) | O_NONBLOCK);
    // Fill the line until it takes nothing more.
    uint8_t filler[4096] = {};
    while (::write(slave, filler, sizeof filler) > 0) {
    }
    {
        ComObj com;
        ASSERT_TRUE(com.Open(name));
        const uint8_t stalled[] = {0xAA, 0xAA, 0xAA};
        com.SendMessage(stalled, 3);
        std::this_thread::sleep_for(350ms);  // past the 200 ms write limit
        // Empty the line (whether the frame got through depends on how much room
        // the terminal made meanwhile); the writer must be ready again.
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        uint8_t sink[4096];
        std::vector<uint8_t> seen;
        for (ssize_t n; (n = ::read(master, sink, sizeof sink)) > 0;) seen.insert(seen.end(), sink, sink + n);
        EXPECT_GT(seen.size(), 0u);
        const uint8_t next[] = {0x01, 0x02};
        com.SendMessage(next, 2);
        std::vector<uint8_t> got;
        WaitUntil([&] {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 10) > 0)
                for (ssize_t n; (n = ::read(master, sink, sizeof sink)) > 0;) got.insert(got.end(), sink, sink + n);
            return got.size() >= 2;
        });
        EXPECT_EQ(got, (std::vector<uint8_t>{0x01, 0x02}));
    }
    ::close(slave);
    ::close(master);
}
