// Downloads against the simulated boot loader on a pseudo-terminal.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "LoaderTestSupport.h"
#include "SimBootLoader.h"

namespace {

using Sim = SimBootLoader;

// A simulated board with a program and a window stand-in aimed at it.
struct TRig {
    Sim Board;
    TLoaderProgram Program;
    TFakeUi Ui;
    std::unique_ptr<TLoaderLink> Link = CreateLoaderLink();
    std::vector<std::string> Sent;  // the payloads as converted, header first

    TRig() {
        ::setenv("QX318_COM201", Board.DevicePath().c_str(), 1);
        Program.ParamPort = "COM201";
        Program.ParamBaud = "57600";
        Program.BaudRate = 57600;
        Program.ParamFile = "/tmp/fw.file";
        // The board answers at once, but a loaded machine may keep its reply
        // from the line for longer than the product's shortest waits (60 ms
        // to the first byte): a time-out would send a telegram twice. The
        // program's own choice of count stays visible in TimeoutCount.
        Program.TimeoutCountOverride = 25;
        Ui.Program = &Program;
    }

    void Prepare(const std::string& type, int kind, std::vector<std::string> lines, const std::string& option = "") {
        Program.ParamType = type;
        Program.FileKind = kind;
        Program.ParamOption = option;
        Program.TelegramLines = std::move(lines);
        TLoaderProgram copy = Program;
        std::string error;
        ASSERT_TRUE(copy.ConvertFile(error)) << error;
        Sent = copy.TelegramLines;
    }

    bool Download() {
        const bool done = Program.SendFile(*Link, Ui);
        Link->Close();
        return done;
    }

    std::vector<std::string> Received() const {
        std::vector<std::string> out;
        for (const auto& r : Board.Requests()) out.emplace_back(r.begin(), r.end());
        return out;
    }
};

class LoaderDownload : public ::testing::Test, public TRig {};

std::vector<std::string> HexFile(int blocks) {
    std::vector<std::string> lines;
    for (int k = 0; k < blocks; ++k) lines.push_back(HexLine(16, k * 128, 0, Fill(16, k + 1)));
    lines.push_back(":00000001FF");
    return lines;
}

std::vector<std::string> SRecords(int count) {
    std::vector<std::string> lines = {"S00600004844521B"};
    for (int k = 1; k < count; ++k) lines.push_back("S1070000AABBCCDDE7");
    return lines;
}

}  // namespace

TEST_F(LoaderDownload, CompleteDownloadsOfEveryKind) {
    const struct {
        const char* Type;
        int Kind;
        std::vector<std::string> Lines;
        const char* Option;
        int TimeoutCount;  // at the end of the download
    } cases[] = {
        {"MAIN", 1, HexFile(5), "CONTROL", 10},
        {"USER", 0, SRecords(6), "", 3},
        {"INTRMOD", 2, {Fill(64, 1), Fill(64, 2)}, "", 3},
        {"JTAG", 0, SRecords(3), "", 3},  // 20 until the first acknowledgement is judged
        {"JTAG", 1, HexFile(2), "", 20},  // the HEX rule decides first
        {"89S825x", 2, {Fill(64, 1), Fill(64, 2), Fill(3, 3)}, "VERIFY", 15},
        {"850ESJx3", 4, {HexLine(4, 0x0100, 0, "ABCD")}, "", 244},
    };
    for (const auto& k : cases) {
        TRig rig;
        rig.Prepare(k.Type, k.Kind, k.Lines, k.Option);
        EXPECT_TRUE(rig.Download()) << k.Type;
        EXPECT_TRUE(rig.Program.Completed);
        EXPECT_TRUE(rig.Ui.Boxes.empty()) << k.Type << ": " << rig.Ui.Boxes[0].Text;
        EXPECT_EQ(rig.Received(), rig.Sent) << k.Type;
        EXPECT_EQ(rig.Board.BadFrames(), 0);
        EXPECT_FALSE(rig.Ui.LabelOver);
        EXPECT_TRUE(rig.Ui.Placed);
        EXPECT_EQ(rig.Ui.Labels.size(), rig.Sent.size());
        EXPECT_EQ(rig.Program.TimeoutCount, k.TimeoutCount) << k.Type;
    }
}

TEST_F(LoaderDownload, ProgressLabelAndTitle) {
    Prepare("USER", 0, SRecords(199));
    ASSERT_EQ(Sent.size(), 200u);
    ASSERT_TRUE(Download());
    EXPECT_EQ(Ui.Labels[50], "25 % Loaded of USER (/tmp/fw.file)");
    EXPECT_EQ(Ui.Titles[50], "25% Loaded");
    EXPECT_EQ(Ui.Labels[199], "99 % Loaded of USER (/tmp/fw.file)");
    EXPECT_EQ(Ui.Maximum, 200);
    EXPECT_EQ(Ui.Position, 199);
}

TEST_F(LoaderDownload, LongestPayloadTravelsIntact) {
    const std::string pairs = std::string(2 * 249, '5');
    Prepare("JTAG", 0, {"S0030000FC", "S1" + pairs});
    ASSERT_EQ(Sent[1].size(), 252u);
    ASSERT_TRUE(Download());
    EXPECT_EQ(Received(), Sent);
    EXPECT_EQ(Board.BadFrames(), 0);
}

TEST_F(LoaderDownload, ProceedQuestionYesRestartsWithTheProceedPair) {
    Prepare("USER", 1, HexFile(2), "CONTROL");
    Board.Push(Sim::RefuseAction(4));
    Ui.Answers = {true};
    ASSERT_TRUE(Download());
    ASSERT_EQ(Ui.Boxes.size(), 1u);
    EXPECT_EQ(Ui.Boxes[0].Text, "Expected identification string doesn't mastch\r\nProceed any way?");
    EXPECT_EQ(Ui.Boxes[0].Caption, "Warning");
    EXPECT_TRUE(Ui.Boxes[0].Question);
    const auto got = Received();
    ASSERT_EQ(got.size(), Sent.size() + 1);
    EXPECT_EQ(got[0], Sent[0]);
    EXPECT_EQ(got[1], B({'p', 0xAA, 0x55, 0x57, 0x13, 0, 0, 0}) + "IDENT NOT FOUND " + B({0}));
    EXPECT_EQ(std::vector<std::string>(got.begin() + 2, got.end()),
              std::vector<std::string>(Sent.begin() + 1, Sent.end()));
}

TEST_F(LoaderDownload, ProceedQuestionNoEndsWithoutFurtherMessage) {
    Prepare("USER", 1, HexFile(2), "CONTROL");
    Board.Push(Sim::RefuseAction(4));
    Ui.Answers = {false};
    EXPECT_FALSE(Download());
    EXPECT_FALSE(Program.Completed);
    ASSERT_EQ(Ui.Boxes.size(), 1u);
    EXPECT_TRUE(Ui.Boxes[0].Question);
    EXPECT_EQ(Board.RequestCount(), 1u);
}

TEST_F(LoaderDownload, AskTextWithoutControlIsAnError) {
    Prepare("INTR", 0, SRecords(3));
    Board.SetDefault(Sim::RefuseAction(7));
    EXPECT_FALSE(Download());
    ASSERT_EQ(Ui.Boxes.size(), 1u);
    EXPECT_EQ(Ui.Boxes[0].Text, "Error: USER software not active.");
    EXPECT_EQ(Board.RequestCount(), 10u);
}

TEST_F(LoaderDownload, ProceedStateTwoAsksNoMore) {
    // INTR's refusal 6 on the first telegram sets the proceed state without a
    // question; a later ask text then only counts down the repetitions.
    Prepare("INTR", 0, SRecords(3), "CONTROL");
    Board.Push(Sim::RefuseAction(6));
    Board.SetDefault(Sim::RefuseAction(5));
    EXPECT_FALSE(Download());
    ASSERT_EQ(Ui.Boxes.size(), 1u);
    EXPECT_FALSE(Ui.Boxes[0].Question);
    EXPECT_EQ(Ui.Boxes[0].Text, "Error: USER software verison is older than expected.");
    EXPECT_EQ(Program.ProceedState, 2);
    EXPECT_EQ(Board.RequestCount(), 10u);
}

TEST_F(LoaderDownload, RefusalsUntilTheRepetitionsAreUsedUp) {
    // The text shows only when the ten repetitions are used up; the simple box
    // carries the application title.
    const struct {
        const char* Type;
        int Kind;
        Sim::Action Refusal;
        int Index;  // the payload refused
        const char* Text;
    } cases[] = {
        {"MAIN", 0, Sim::RefuseAction(0xD2), 0, "Error: boot loader not initialized."},
        {"MAIN", 0, Sim::RefuseAction(0x42, 0x01), 0, "Unknown Error: 0x42"},
        {"JTAG", 0, Sim::RefuseAction(0xD3, 0x1A), 0, "Error: can not erase page or mass erase.(1A)"},
        {"JTAG", 0, Sim::RefuseAction(0x42, 0x07), 0, "Error: 42 07"},
        {"89S825x", 2, Sim::RefuseAction(0xD7, 0x07), 0, "Error: bad memory address."},
        {"850ESHx2", 4, Sim::RefuseAction(0xDA, 0xB5), 0, "Error: block select.(B5)"},
        {"USER", 0, Sim::RefuseAction(5), 0, "Error: Different USER verison."},
        {"USER", 0, Sim::RefuseAction(5), 1, "Error: Flash wrong address."},
        {"USER", 1, Sim::RefuseAction(3), 1, "Error: Received wrong telegram"},
        {"INTR", 0, Sim::RefuseAction(6), 2, "Error: Wrong SRecord line."},
        {"INTRMOD", 0, Sim::RefuseAction(0x77), 0, "Error: USER software not active."},
        {"INTRMOD", 0, Sim::RefuseAction(11), 1, "Error: Different Interpreter Module Version."},
    };
    for (const auto& k : cases) {
        TRig rig;
        rig.Prepare(k.Type, k.Kind,
                    k.Kind == 2   ? std::vector<std::string>{Fill(64, 1), ""}
                    : k.Kind == 4 ? std::vector<std::string>{HexLine(1, 0, 0, B({1}))}
                    : k.Kind == 1 ? HexFile(2)
                                  : SRecords(4));
        rig.Board.Push(Sim::AckAction(), k.Index);
        rig.Board.SetDefault(k.Refusal);
        EXPECT_FALSE(rig.Download()) << k.Text;
        ASSERT_EQ(rig.Ui.Boxes.size(), 1u) << k.Text;
        EXPECT_EQ(rig.Ui.Boxes[0].Text, k.Text);
        EXPECT_EQ(rig.Ui.Boxes[0].Icon, TMsgIcon::None) << k.Text;
        EXPECT_EQ(rig.Ui.Boxes[0].Caption, rig.Ui.Titles.back()) << k.Text;
        EXPECT_EQ(rig.Board.RequestCount(), static_cast<size_t>(k.Index + 10)) << k.Text;
    }
}

TEST_F(LoaderDownload, RefusalThenAcknowledgementGoesOn) {
    Prepare("MAIN", 0, SRecords(3));
    Board.Push(Sim::AckAction());
    Board.Push(Sim::RefuseAction(0xD4), 9);
    ASSERT_TRUE(Download());
    EXPECT_TRUE(Ui.Boxes.empty());
    EXPECT_EQ(Board.RequestCount(), Sent.size() + 9);
    EXPECT_EQ(Program.RetryCounter, 10);
}

TEST_F(LoaderDownload, ShortRefusalReadsMissingBytesAsZero) {
    Prepare("JTAG", 0, SRecords(2));
    Sim::Action bare = Sim::RefuseAction(0xD3, 0x55);
    bare.DataBytes = 1;  // code, no detail
    Board.SetDefault(bare);
    EXPECT_FALSE(Download());
    ASSERT_EQ(Ui.Boxes.size(), 1u);
    EXPECT_EQ(Ui.Boxes[0].Text, "Error: can not erase page or mass erase.(00)");

    TRig second;
    second.Prepare("MAIN", 0, SRecords(2));
    Sim::Action none = Sim::RefuseAction(0xD3);
    none.DataBytes = 0;
    second.Board.SetDefault(none);
    EXPECT_FALSE(second.Download());
    ASSERT_EQ(second.Ui.Boxes.size(), 1u);
    EXPECT_EQ(second.Ui.Boxes[0].Text, "Unknown Error: 0x00");
}

TEST_F(LoaderDownload, WrongEchoesRepeatUntilTheRetriesAreUsedUp) {
    Prepare("MAIN", 1, HexFile(2));
    Board.Push(Sim::AckAction());  // the header is good without an echo
    Board.SetDefault(Sim::WrongEchoAction());
    EXPECT_FALSE(Download());
    ASSERT_EQ(Ui.Boxes.size(), 1u);
    EXPECT_EQ(Ui.Boxes[0].Text, "Error: wrong data for ACK");
    const auto got = Received();
    ASSERT_EQ(got.size(), 11u);
    for (size_t k = 1; k < got.size(); ++k) EXPECT_EQ(got[k], Sent[1]);
}

TEST_F(LoaderDownload, WrongEchoOf850SendsThePreviousPayloadAgain) {
    Prepare("850ESJx3", 4, {HexLine(1, 0x0000, 0, B({1}))});
    Board.Push(Sim::AckAction(), 3);
    Board.Push(Sim::WrongEchoAction());
    ASSERT_TRUE(Download());
    const auto got = Received();
    ASSERT_EQ(got.size(), Sent.size() + 2);
    EXPECT_EQ(got[3], Sent[3]);  // refused echo
    EXPECT_EQ(got[4], Sent[2]);  // the one before it again
    EXPECT_EQ(got[5], Sent[3]);
    EXPECT_EQ(Program.RetryCounter, 9);  // good replies of 850 downloads leave it
}

TEST_F(LoaderDownload, AcknowledgementShorterThanTheEchoIsAMismatch) {
    // A JTAG telegram of 9 bytes on the wire: reply bytes 9 and 10 lie past it.
    Prepare("JTAG", 0, {"S0030000FC", "S10300"});
    Board.SetDefault(Sim::AckAction());
    EXPECT_FALSE(Download());
    ASSERT_EQ(Ui.Boxes.size(), 1u);
    EXPECT_EQ(Ui.Boxes[0].Text, "Error: wrong data for ACK");
    EXPECT_EQ(Program.TimeoutCount, 3);  // JTAG's judged acknowledgement lowers it from 20
}

TEST_F(LoaderDownload, OtherStatusAndTooShortRepliesRepeatTheTelegram) {
    Prepare("MAIN", 0, SRecords(2));
    Board.Push(Sim::StatusAction(0x55), 3);
    Sim::Action tiny = Sim::AckAction();
    tiny.What = Sim::Action::Raw;
    tiny.Bytes = {0x88, 0x99, 0x03, 0x88 ^ 0x99 ^ 0x03};
    Board.Push(tiny);
    ASSERT_TRUE(Download());
    EXPECT_TRUE(Ui.Boxes.empty());
    const auto got = Received();
    ASSERT_EQ(got.size(), Sent.size() + 4);
    for (size_t k = 0; k < 5; ++k) EXPECT_EQ(got[k], Sent[0]);
}

TEST_F(LoaderDownload, BrokenRepliesCountAsUnansweredAndRepeat) {
    // A reply that stops half-way (time-out), one with a wrong check byte and
    // one whose length is below 4 (errors): each repeats the telegram.
    const std::vector<std::vector<uint8_t>> broken = {
        {0x88, 0x99, 0x0B, 0xE0, 0x01},
        {0x88, 0x99, 0x04, 0xE0, 0x00},
        {0x88, 0x99, 0x02, 0x88 ^ 0x99 ^ 0x02},
    };
    Prepare("MAIN", 0, SRecords(2));
    for (const auto& bytes : broken) {
        Sim::Action raw = Sim::AckAction();
        raw.What = Sim::Action::Raw;
        raw.Bytes = bytes;
        Board.Push(raw);
    }
    ASSERT_TRUE(Download());
    EXPECT_TRUE(Ui.Boxes.empty());
    const auto got = Received();
    ASSERT_EQ(got.size(), Sent.size() + 3);
    for (size_t k = 0; k < 4; ++k) EXPECT_EQ(got[k], Sent[0]);
    EXPECT_EQ(Program.NoAnswerCounter, 100);
}

TEST_F(LoaderDownload, EscEndsAfterTheCurrentTelegramWithoutMessage) {
    Prepare("MAIN", 0, SRecords(10));
    Ui.EscAfterProgress = 3;
    EXPECT_FALSE(Download());
    EXPECT_TRUE(Ui.Boxes.empty());
    EXPECT_EQ(Board.RequestCount(), 3u);
}

TEST_F(LoaderDownload, EscDuringASilentWaitEndsAtOnce) {
    Prepare("850ESJx3", 4, {HexLine(1, 0, 0, B({1}))});  // 244 x 20 ms to the first byte
    Board.SetDefault(Sim::SilentAction());
    Program.TimeoutCountOverride = 0;  // the product's own wait
    Ui.EscAfterProgress = 1;
    EXPECT_FALSE(Download());
    // Ended by the key, not by a time-out: no telegram sent again, no box.
    // The loader benchmark gives the time (BM_EscDuringASilentWait).
    EXPECT_EQ(Board.RequestCount(), 1u);
    EXPECT_TRUE(Ui.Boxes.empty());
}

TEST_F(LoaderDownload, PortThatCannotBeOpened) {
    const char* ports[] = {"COM250", "COM0", "COM256", "/dev/null", "COM201x"};
    for (const char* port : ports) {
        Prepare("MAIN", 0, SRecords(2));
        Program.ParamPort = port;
        Ui.Boxes.clear();
        EXPECT_FALSE(Download()) << port;
        ASSERT_EQ(Ui.Boxes.size(), 1u) << port;
        EXPECT_EQ(Ui.Boxes[0].Text, "Error openning port !");
        EXPECT_EQ(Ui.Boxes[0].Caption, "SRecord/Hex/BIN loader - Error");
        EXPECT_EQ(Ui.Boxes[0].Icon, TMsgIcon::Stop);
    }
    // A file that is no serial device is not opened either.
    ::setenv("QX318_COM202", "/dev/null", 1);
    Prepare("MAIN", 0, SRecords(2));
    Program.ParamPort = "COM202";
    Ui.Boxes.clear();
    EXPECT_FALSE(Download());
    ASSERT_EQ(Ui.Boxes.size(), 1u);
    EXPECT_EQ(Ui.Boxes[0].Text, "Error openning port !");
    // A baud rate the port refuses.
    Prepare("MAIN", 0, SRecords(2));
    Program.ParamPort = "COM201";
    Program.BaudRate = 12345678;
    Ui.Boxes.clear();
    EXPECT_FALSE(Download());
    ASSERT_EQ(Ui.Boxes.size(), 1u);
    EXPECT_EQ(Ui.Boxes[0].Text, "Error openning port !");
    EXPECT_EQ(Board.RequestCount(), 0u);
}

TEST_F(LoaderDownload, BadFileIsRefusedBeforeThePortIsTouched) {
    Program.ParamType = "MAIN";
    Program.FileKind = 1;
    Program.TelegramLines = {":zz"};
    Program.ParamPort = "COM250";  // would fail to open
    EXPECT_FALSE(Download());
    ASSERT_EQ(Ui.Boxes.size(), 1u);
    EXPECT_EQ(Ui.Boxes[0].Text, "Invalid HEX record in line 1 !");
    EXPECT_EQ(Ui.Boxes[0].Caption, "SRecord/Hex/BIN loader - Error");
}

// The only test that waits for time-outs on the line: unanswered telegrams
// with the shortest time-out count (20 ms each). Closing the port discards
// what the board has not read yet, so on a busy machine the board may miss
// the last telegrams; the exact count is shown on a link that times out at
// once (below).
TEST_F(LoaderDownload, BoardThatNeverAnswers) {
    Prepare("MAIN", 0, SRecords(2));
    Board.SetDefault(Sim::SilentAction());
    Program.TimeoutCountOverride = 1;
    EXPECT_FALSE(Download());
    ASSERT_EQ(Ui.Boxes.size(), 1u);
    EXPECT_EQ(Ui.Boxes[0].Text, "Timeout Error\nOr ERROR");
    EXPECT_EQ(Ui.Boxes[0].Caption, "Communication Error");
    EXPECT_EQ(Ui.Boxes[0].Icon, TMsgIcon::Stop);
    const auto got = Received();
    ASSERT_FALSE(got.empty());
    EXPECT_LE(got.size(), 100u);
    for (const auto& r : got) EXPECT_EQ(r, Sent[0]);
}

namespace {

// A link whose outcome never comes, as on a line that hangs.
class THangingLink : public TLoaderLink {
public:
    int Sends = 0;
    bool Open(const std::string&, int64_t) override { return true; }
    void SetTimeoutCount(uint8_t) override {}
    bool Send(std::span<const uint8_t>) override { return ++Sends, true; }
    std::optional<TReplyOutcome> WaitSlice(int sliceMs, std::vector<uint8_t>&) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(sliceMs));
        return std::nullopt;
    }
    void Close() override {}
};

}  // namespace

namespace {

// A board that never answers, on a link whose every wait ends as a time-out
// at once: what the loader sends does not depend on how busy the machine is.
class TSilentLink : public TLoaderLink {
public:
    std::vector<std::vector<uint8_t>> Sent;
    bool Open(const std::string&, int64_t) override { return true; }
    void SetTimeoutCount(uint8_t) override {}
    bool Send(std::span<const uint8_t> telegram) override {
        Sent.emplace_back(telegram.begin(), telegram.end());
        return true;
    }
    std::optional<TReplyOutcome> WaitSlice(int, std::vector<uint8_t>&) override { return TReplyOutcome::TimeOut; }
    void Close() override {}
};

}  // namespace

// The first telegram goes 100 times in all, the same bytes each time, and
// then the loader gives up with its box.
TEST(LoaderDownloadHang, AnUnansweredTelegramGoesAHundredTimes) {
    TLoaderProgram program;
    program.ParamType = "MAIN";
    program.TelegramLines = SRecords(2);
    program.TimeoutCountOverride = 1;
    TFakeUi ui;
    ui.Program = &program;
    TSilentLink link;
    EXPECT_FALSE(program.SendFile(link, ui));
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text, "Timeout Error\nOr ERROR");
    ASSERT_EQ(link.Sent.size(), 100u);
    for (const auto& telegram : link.Sent) EXPECT_EQ(telegram, link.Sent[0]);
}

TEST(LoaderDownloadHang, AWaitWithoutOutcomeEndsAsATimeOut) {
    TLoaderProgram program;
    program.ParamType = "MAIN";
    program.TelegramLines = SRecords(2);
    program.TimeoutCountOverride = 1;  // 20 + 256 x 3 ms for the longest reply, and a margin
    TFakeUi ui;
    ui.Program = &program;
    ui.EscAfterProgress = 2;
    THangingLink link;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(program.SendFile(link, ui));
    // The first wait gives up after about 1.3 s, the second ends by Esc; the
    // bound leaves a loaded machine its room.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
    EXPECT_EQ(link.Sends, 2);  // the first wait ended as a time-out and the telegram went again
    EXPECT_EQ(program.NoAnswerCounter, 98);  // the second wait ended by Esc
    EXPECT_TRUE(ui.Boxes.empty());
}

// The telegrams and a reply on the line, written out by hand: 0x99, 0x88,
// LEN = 3 + payload, the payload and the XOR of all bytes before it.
TEST(LoaderWire, TelegramsAndAReplyByteForByte) {
    int master = -1, slave = -1;
    char name[128] = {};
    termios raw{};
    ::cfmakeraw(&raw);
    ASSERT_EQ(::openpty(&master, &slave, name, &raw, nullptr), 0);
    ::setenv("QX318_COM203", name, 1);

    TLoaderProgram program;
    program.ParamType = "MAIN";
    program.FileKind = 0;
    program.TelegramLines = {"S9030000FC"};
    std::string error;
    ASSERT_TRUE(program.ConvertFile(error)) << error;
    ASSERT_EQ(program.TelegramLines.size(), 2u);

    const auto link = CreateLoaderLink();
    ASSERT_TRUE(link->Open("COM203", 57600));
    // Both wait as long as a loaded machine may need, and no longer.
    const auto wire = [&](size_t n) {
        std::vector<uint8_t> got;
        uint8_t buffer[64];
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (got.size() < n && std::chrono::steady_clock::now() < limit) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 10) > 0) {
                const ssize_t r = ::read(master, buffer, sizeof buffer);
                if (r > 0) got.insert(got.end(), buffer, buffer + r);
            }
        }
        return got;
    };
    const auto outcome = [&](std::vector<uint8_t>& reply) {
        std::optional<TReplyOutcome> result;
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!result && std::chrono::steady_clock::now() < limit) result = link->WaitSlice(20, reply);
        return result;
    };

    // The header of MAIN: 'q', 0xAA, 0x55.
    std::vector<uint8_t> frame;
    program.PrepareTelegram(0, frame);
    EXPECT_EQ(frame, (std::vector<uint8_t>{0x99, 0x88, 0x06, 0x71, 0xAA, 0x55}));
    ASSERT_TRUE(link->Send(frame));
    EXPECT_EQ(wire(7), (std::vector<uint8_t>{0x99, 0x88, 0x06, 0x71, 0xAA, 0x55, 0x99}));
    // A refusal with code 0xD2 and detail 0x07, its first two bytes as they come.
    const uint8_t refusal[] = {0x12, 0x34, 0x06, 0xF0, 0xD2, 0x07, 0x05};
    ASSERT_EQ(::write(master, refusal, sizeof refusal), static_cast<ssize_t>(sizeof refusal));
    std::vector<uint8_t> reply;
    EXPECT_EQ(outcome(reply), TReplyOutcome::Reply);
    EXPECT_EQ(reply, (std::vector<uint8_t>{0x12, 0x34, 0x06, 0xF0, 0xD2, 0x07}));

    // The record S9030000FC: 's', 'S', '9', its pairs, and the VERIFY byte 0.
    program.PrepareTelegram(1, frame);
    ASSERT_TRUE(link->Send(frame));
    EXPECT_EQ(wire(12), (std::vector<uint8_t>{0x99, 0x88, 0x0B, 0x73, 0x53, 0x39, 0x03, 0x00, 0x00, 0xFC, 0x00,
                                              0xFC}));
    // No reply: a time-out after 3 x 20 ms.
    EXPECT_EQ(outcome(reply), TReplyOutcome::TimeOut);

    link->Close();
    ::unsetenv("QX318_COM203");
    ::close(slave);
    ::close(master);
}
