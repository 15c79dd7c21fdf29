// The simulator's command line, the faults it picks per request and the
// lines of its trace.
#include "SimOptions.h"

#include <gtest/gtest.h>

#include <regex>

namespace {
using Args = std::vector<std::string>;
}

TEST(SimOptions, GoodCommandLines) {
    struct Case {
        Args args;
        std::string state;
        bool trace;
        int com, silent, refuse, reason, late, lateMs;
    };
    const Case cases[] = {
        {{}, "", false, 1, 0, 0, 1, 0, 1000},
        {{"--state", "unit.qxs", "--trace"}, "unit.qxs", true, 1, 0, 0, 1, 0, 1000},
        {{"--com", "7"}, "", false, 7, 0, 0, 1, 0, 1000},
        {{"--silent-every", "3"}, "", false, 1, 3, 0, 1, 0, 1000},
        {{"--refuse-every", "5", "--reason", "0x0F"}, "", false, 1, 0, 5, 15, 0, 1000},
        {{"--reason", "$FF", "--refuse-every", "1"}, "", false, 1, 0, 1, 255, 0, 1000},
        {{"--late-every", "2", "--late-ms", "700"}, "", false, 1, 0, 0, 1, 2, 700},
        {{"--late-every", "4"}, "", false, 1, 0, 0, 1, 4, 1000},
        {{"--late-every", "4", "--late-ms", "0"}, "", false, 1, 0, 0, 1, 4, 0},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto o = ParseSimOptions(c.args, &error);
        ASSERT_TRUE(o) << ::testing::PrintToString(c.args) << ": " << error;
        EXPECT_FALSE(o->Help);
        EXPECT_EQ(o->StatePath, c.state);
        EXPECT_EQ(o->Trace, c.trace);
        EXPECT_EQ(o->ComPort, c.com);
        EXPECT_EQ(o->SilentEvery, c.silent);
        EXPECT_EQ(o->RefuseEvery, c.refuse);
        EXPECT_EQ(o->Reason, c.reason);
        EXPECT_EQ(o->LateEvery, c.late);
        EXPECT_EQ(o->LateMs, c.lateMs);
    }
    EXPECT_TRUE(ParseSimOptions({"--help"}, nullptr)->Help);
}

TEST(SimOptions, WrongCommandLinesSayWhatIsWrong) {
    struct Case {
        Args args;
        std::string error;
    };
    const Case cases[] = {
        {{"--fast"}, "unknown option \"--fast\""},
        {{"--state"}, "--state needs a file name"},
        {{"--state", ""}, "--state needs a file name"},
        {{"--silent-every"}, "--silent-every needs a value"},
        {{"--silent-every", "0"}, "--silent-every takes a number from 1 to 1000000, not \"0\""},
        {{"--silent-every", "-2"}, "--silent-every takes a number from 1 to 1000000, not \"-2\""},
        {{"--late-every", "x"}, "--late-every takes a number from 1 to 1000000, not \"x\""},
        {{"--late-every", "1", "--late-ms", "60001"}, "--late-ms takes a number from 0 to 60000, not \"60001\""},
        {{"--refuse-every", "2", "--reason", "256"}, "--reason takes a number from 0 to 255, not \"256\""},
        {{"--com", "0"}, "--com takes a number from 1 to 255, not \"0\""},
        {{"--com", "12abc"}, "--com takes a number from 1 to 255, not \"12abc\""},
        // A value meant for a fault that is not asked for is a slip, not silence.
        {{"--reason", "4"}, "--reason belongs to --refuse-every"},
        {{"--late-ms", "800"}, "--late-ms belongs to --late-every"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(ParseSimOptions(c.args, &error)) << ::testing::PrintToString(c.args);
        EXPECT_EQ(error, c.error);
    }
}

TEST(SimOptions, FaultsFallOnEveryNthRequest) {
    SimOptions o;
    o.SilentEvery = 6;
    o.RefuseEvery = 3;
    o.Reason = 9;
    o.LateEvery = 2;
    o.LateMs = 750;
    enum Kind { None, Silent, Refused, Late };
    // Request numbers count from 1; 6 is a multiple of all three.
    const std::pair<uint64_t, Kind> cases[] = {{1, None},    {2, Late},    {3, Refused}, {4, Late},
                                               {5, None},    {6, Silent},  {9, Refused}, {12, Silent},
                                               {13, None},   {14, Late}};
    for (const auto& [request, kind] : cases) {
        const auto f = SimFaultFor(o, request);
        SCOPED_TRACE(request);
        if (kind == None) {
            EXPECT_FALSE(f);
            continue;
        }
        ASSERT_TRUE(f);
        EXPECT_EQ(f->Silent, kind == Silent);
        EXPECT_EQ(f->Refuse, kind == Refused ? std::optional<uint8_t>(9) : std::nullopt);
        EXPECT_EQ(f->DelayMs, kind == Late ? 750 : 0);
    }
    EXPECT_FALSE(SimFaultFor(SimOptions{}, 1));
}

TEST(SimOptions, TraceLinesNameDirectionFunctionAndBytes) {
    struct Case {
        bool fromPc;
        std::vector<uint8_t> frame;
        std::string text;  // after the time stamp
    };
    const Case cases[] = {
        {true, {0xEC, 0x88, 0x04, 0xC3, 0xA3}, " PC->QX Fnc C3 ModelVersion: EC 88 04 C3 A3"},
        {true, {0xEC, 0x88, 0x08, 0xB2, 0x00, 0x80, 0x00, 0x20, 0x7E}, " PC->QX Fnc B2 ReadData: EC 88 08 B2 00 80 00 20 7E"},
        // The same code means one thing from the PC and another from the unit.
        {true, {0xEC, 0x88, 0x05, 0x32, 0x00, 0x00}, " PC->QX Fnc 32 WriteData: EC 88 05 32 00 00"},
        {false, {0x88, 0xEC, 0x05, 0x32, 0x00, 0x00}, " QX->PC Fnc 32 Data: 88 EC 05 32 00 00"},
        {true, {0xEC, 0x88, 0x04, 0x14, 0x00}, " PC->QX Fnc 14 BlockPacket: EC 88 04 14 00"},
        {false, {0x88, 0xEC, 0x04, 0x14, 0x00}, " QX->PC Fnc 14 BlockData: 88 EC 04 14 00"},
        {false, {0x88, 0xEC, 0x05, 0xF0, 0x05, 0x14}, " QX->PC Fnc F0 Refusal: 88 EC 05 F0 05 14"},
        {false, {0x88, 0xEC, 0x04, 0xE0, 0x80}, " QX->PC Fnc E0 Acknowledge: 88 EC 04 E0 80"},
        {true, {0xEC, 0x88, 0x04, 0x77, 0x00}, " PC->QX Fnc 77 unknown: EC 88 04 77 00"},
        {false, {0x01, 0x02}, " QX->PC no frame: 01 02"},
    };
    const auto at = std::chrono::system_clock::now();
    for (const auto& c : cases) {
        const std::string line = SimTraceLine(at, c.fromPc, c.frame);
        ASSERT_GE(line.size(), 12u);
        EXPECT_TRUE(std::regex_match(line.substr(0, 12), std::regex(R"(\d\d:\d\d:\d\d\.\d\d\d)"))) << line;
        EXPECT_EQ(line.substr(12), c.text);
    }
}
