// The unit search over the COM ports and the model-version check. Ports
// 1..255 are mapped through QX318_COM<n>: a few onto simulated units, the
// others onto missing devices.
#include "CommDriver.h"
#include "Messages.h"
#include "Mlsunit.h"
#include "SerialPort.h"
#include "Services.h"
#include "SimUnit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace {

using Bytes = std::vector<uint8_t>;

// A unit that never answers the model request.
void Silence(SimUnit& unit) {
    unit.On(0xC3, [](SimUnit&, const SimUnit::Request&) { return std::optional<SimUnit::Answer>(); });
}

class Search : public ::testing::Test {
protected:
    TMLSUnit texts{BuiltInMessages, std::string()};
    std::unique_ptr<TBaseComModule> link;
    CommDriver driver;
    TCommCmdList list;
    int32_t port = 3;
    _QXModelVersion model;

    void SetUp() override {
        link = std::make_unique<TBaseComModule>(&texts);
        link->GetMonitor()->SetTimeout(300);  // short, with room for a loaded machine
    }
    void TearDown() override {
        link.reset();
        ClearComPorts();
    }
    CommDriver::Outcome Go() { return driver.Run(*link, list, &port, 1, &model); }
};

}  // namespace

TEST_F(Search, StoredPortThatAnswersIsUsed) {
    SimUnit unit;
    MapComPorts({{3, &unit}});
    const auto out = Go();
    EXPECT_EQ(out.Result, (_CommResult{2, 0, 0}));
    EXPECT_EQ(port, 3);
    EXPECT_EQ(unit.Wire(), (Bytes{0xEC, 0x88, 0x04, 0xC3, 0xA3}));
    EXPECT_EQ(model.GetText(), "V2.7 SIM");
    EXPECT_FALSE(link->IsOpen());
    EXPECT_NE(out.Log.find("Search QX service started.\r\n"), std::string::npos);
    EXPECT_NE(out.Log.find("QX found.\r\n"), std::string::npos);
    // The port opened at 57600 baud (index 1).
    const termios line = unit.LineSettings();
    EXPECT_EQ(cfgetospeed(&line), static_cast<speed_t>(B57600));
}

TEST_F(Search, StoredPortMissingScansFromPort1) {
    SimUnit unit;
    MapComPorts({{1, &unit}});
    const auto out = Go();
    EXPECT_EQ(out.Result, (_CommResult{2, 0, 0}));
    EXPECT_EQ(port, 1);
    // The stored port is named with its cause; port 1 answers at once.
    EXPECT_NE(out.Log.find("Search QX service started.\r\n"
                           "Cannot open Com Port (COM3).\r\n"
                           "COM3 (/nonexistent/qx318-com3): No such file or directory\r\n"),
              std::string::npos)
        << out.Log;
    EXPECT_EQ(out.Log.find("no device"), std::string::npos) << out.Log;
}

TEST_F(Search, SilentStoredPortGoesOnWithThePortsAboveIt) {
    SimUnit quiet, unit, below;
    Silence(quiet);
    MapComPorts({{1, &below}, {3, &quiet}, {5, &unit}});
    const auto out = Go();
    EXPECT_EQ(out.Result, (_CommResult{2, 0, 0}));
    EXPECT_EQ(port, 5);
    EXPECT_EQ(quiet.RequestCount(), 4u);
    EXPECT_EQ(unit.RequestCount(), 1u);
    EXPECT_EQ(below.RequestCount(), 0u);
    EXPECT_NE(out.Log.find("Tries remaining: 0.\r\n"), std::string::npos);
}

// A port that opens but stays silent is named on a line of its own before
// its time-outs, so the details tell which port was asked; the port that
// answers and the ports without a device keep their lines as they are.
TEST_F(Search, DetailsNameEachSilentPortBeforeItsTimeOuts) {
    SimUnit first, second, unit;
    Silence(first);
    Silence(second);
    MapComPorts({{3, &first}, {4, &second}, {6, &unit}});
    const auto out = Go();
    EXPECT_EQ(out.Result, (_CommResult{2, 0, 0}));
    EXPECT_EQ(port, 6);
    const std::string timeOuts =
        "Service timeout.\r\nTries remaining: 2.\r\n"
        "Service timeout.\r\nTries remaining: 1.\r\n"
        "Service timeout.\r\nTries remaining: 0.\r\n"
        "Service timeout.\r\n";
    EXPECT_EQ(out.Log, "Search QX service started.\r\n"
                       "COM3 (" + first.Path() + ")\r\n" + timeOuts +
                       "COM4 (" + second.Path() + ")\r\n" + timeOuts +
                       "COM5: no device\r\n"
                       "QX found.\r\n");
}

TEST_F(Search, RefusalCountsAsSilence) {
    SimUnit unit;
    int asked = 0;
    unit.On(0xC3, [&asked](SimUnit&, const SimUnit::Request&) -> std::optional<SimUnit::Answer> {
        if (asked++ == 0) return SimUnit::Answer{0xF0, {1}};
        Bytes text(16, 0);
        std::copy_n("V2.1", 4, text.begin());
        return SimUnit::Answer{0x43, text};
    });
    MapComPorts({{3, &unit}});
    const auto out = Go();
    EXPECT_EQ(out.Result, (_CommResult{2, 0, 0}));
    EXPECT_EQ(unit.RequestCount(), 2u);
    EXPECT_NE(out.Log.find("Service timeout.\r\nTries remaining: 2.\r\n"), std::string::npos);
}

TEST_F(Search, NoPortAtAllShowsTheOkDialogFromTheFirstPass) {
    MapComPorts({});
    _CommCmd* c = list.Add();
    c->Service = csReadMemConfig;
    const auto out = Go();
    EXPECT_EQ(out.Result, (_CommResult{2, 0, 145}));
    const auto q = driver.Questions();
    ASSERT_EQ(q.size(), 1u);
    EXPECT_FALSE(q[0].FromScheduler);
    EXPECT_EQ(q[0].Asked.Buttons, cbOk);
    EXPECT_EQ(q[0].Asked.Text, "Searching QX...\r\nQX not found. Check QX and connection cable.\r\n");
    EXPECT_NE(out.Log.find("COM1 to COM255: no device\r\nQX not found. Check QX and connection cable.\r\n"),
              std::string::npos)
        << out.Log;
    EXPECT_EQ(port, 3);
}

TEST(SearchLog, PortsWithoutADeviceOnOneLine) {
    const struct {
        int32_t first, last;
        const char* text;
    } cases[] = {
        {97, 255, "COM97 to COM255: no device"},
        {1, 2, "COM1 to COM2: no device"},
        {4, 4, "COM4: no device"},
    };
    for (const auto& c : cases) EXPECT_EQ(NoDevicePortsText(c.first, c.last), c.text) << c.first;
}

// The details of a failed search: the stored port, busy, and a port whose
// device is no serial port keep a line each with their cause; the runs of
// ports without a device between them are summed up.
TEST_F(Search, DetailsSumUpThePortsWithoutADevice) {
    SimUnit unit;
    MapComPorts({{3, &unit}});
    setenv("QX318_COM7", "/dev/null", 1);
    SerialPort holder;  // another program has the unit's port open
    ASSERT_TRUE(holder.Open(unit.Path())) << holder.Error();
    _CommCmd* c = list.Add();
    c->Service = csReadMemConfig;
    const auto out = Go();
    EXPECT_EQ(out.Result, (_CommResult{2, 0, 145}));
    const std::string busy = "Cannot open Com Port (COM3).\r\nCOM3 (" + unit.Path() +
                             "): Device or resource busy (the port is in use)\r\n";
    EXPECT_NE(out.Log.find("Search QX service started.\r\n" + busy + "COM1 to COM2: no device\r\n" + busy +
                           "COM4 to COM6: no device\r\n"
                           "Cannot open Com Port (COM7).\r\n"
                           "COM7 (/dev/null): Inappropriate ioctl for device (not a serial device)\r\n"
                           "COM8 to COM255: no device\r\n"
                           "QX not found. Check QX and connection cable.\r\n"),
              std::string::npos)
        << out.Log;
    EXPECT_EQ(unit.RequestCount(), 0u);
}

TEST_F(Search, NoUnitAnsweringOffersRetryAndCancel) {
    // The unit on port 3 is silent for the whole first search; Retry
    // searches again from the stored port and finds it answering.
    SimUnit unit;
    for (int i = 0; i < 4; ++i) unit.Script({.Silent = true});
    MapComPorts({{3, &unit}});
    driver.Answers = {caRetry};
    const auto out = Go();
    EXPECT_EQ(out.Result, (_CommResult{2, 0, 0}));
    EXPECT_EQ(unit.RequestCount(), 5u);
    const auto q = driver.Questions();
    ASSERT_EQ(q.size(), 1u);
    EXPECT_TRUE(q[0].FromScheduler);
    EXPECT_EQ(q[0].Asked.Buttons, cbRetryCancel);

    // Cancel in the error dialog ends the run with the error.
    for (int i = 0; i < 4; ++i) unit.Script({.Silent = true});
    list.Clear();
    CommDriver cancelling;
    cancelling.Answers = {caCancel};
    EXPECT_EQ(cancelling.Run(*link, list, &port, 1, &model).Result, (_CommResult{2, 0, 145}));
}

TEST_F(Search, RetryAfterNoUnitFoundKeepsTheExpectedModel) {
    SimUnit unit;
    unit.SetModel("V3.0 SIM");
    for (int i = 0; i < 4; ++i) unit.Script({.Silent = true});
    MapComPorts({{3, &unit}});
    model.SetText("V2.7");
    _CommCmd* c = list.Add();
    c->Service = csWriteData;  // never reached
    Bytes data(4, 0);
    c->Data = data.data();
    c->Length = 4;
    driver.Answers = {caRetry};
    const auto out = Go();
    EXPECT_EQ(out.Result, (_CommResult{2, 0, 146}));
    EXPECT_EQ(model.GetText(), "V3.0 SIM");
    EXPECT_EQ(unit.RequestCount(), 5u);
}

TEST_F(Search, MajorVersionCheck) {
    const struct {
        const char* expected;
        const char* unit;
        uint16_t code;
    } cases[] = {
        {"V2.7", "V3.1 SIM", 146}, {"V2.7", "V2.9", 0}, {"", "X9", 0}, {"", "V5.0", 0}, {"garbage", "V4", 0},
    };
    SimUnit unit;
    MapComPorts({{3, &unit}});
    for (const auto& k : cases) {
        SCOPED_TRACE(k.unit);
        unit.SetModel(k.unit);
        model.SetText(k.expected);
        list.Clear();
        CommDriver d;
        const auto out = d.Run(*link, list, &port, 1, &model);
        EXPECT_EQ(out.Result, (_CommResult{2, 0, k.code}));
        EXPECT_EQ(model.GetText(), k.unit);
        EXPECT_TRUE(d.Questions().empty());
        if (k.code == 146) {
            EXPECT_EQ(CommErrorText(texts, 146, model), "The QX Model (V3.1 SIM) is different that was expected.");
        }
    }
}

TEST_F(Search, TheLinksOwnReplyTimeoutIsHalfASecond) {
    SimUnit unit;
    Silence(unit);
    MapComPorts({{3, &unit}});
    link->GetMonitor()->SetTimeout(TBaseComModule::ReplyTimeoutMs);
    driver.Answers = {caCancel};
    const auto start = std::chrono::steady_clock::now();
    const auto out = Go();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(out.Result, (_CommResult{2, 0, 145}));
    EXPECT_EQ(unit.RequestCount(), 4u);
    EXPECT_GE(elapsed, std::chrono::milliseconds(4 * 500));
    EXPECT_LT(elapsed, std::chrono::milliseconds(4 * 500 + 1500));
}

TEST_F(Search, CancelDuringTheSearchOpensNoFurtherPort) {
    SimUnit quiet, unit;
    Silence(quiet);
    MapComPorts({{3, &quiet}, {4, &unit}});
    driver.OnTick = [&](TCommSequencer&) { return quiet.RequestCount() >= 1; };
    const auto out = Go();
    EXPECT_EQ(out.Result.State, 1);
    EXPECT_FALSE(link->IsOpen());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(unit.RequestCount(), 0u);
    EXPECT_LE(quiet.RequestCount(), 2u);
    EXPECT_FALSE(link->IsOpen());
}
