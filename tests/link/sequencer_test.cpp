// How a run goes from command to command: progress, the error dialog's
// answers, cancelling and closing, and what ends a run.
#include "CommFixture.h"

#include <chrono>
#include <stdexcept>
#include <thread>

using namespace std::chrono_literals;

namespace {

Bytes Stream(size_t dataLength) {
    Bytes s(dataLength + 6, 0x42);
    const Bytes header{3, 0, static_cast<uint8_t>(dataLength + 6), static_cast<uint8_t>((dataLength + 6) >> 8), 0, 0};
    std::copy(header.begin(), header.end(), s.begin());
    return s;
}

TQXBlockMem BlockOf(uint8_t index, const Bytes& stream) {
    TQXBlockMem b;
    b.Index = index;
    b.SetData(stream.data() + 6, static_cast<uint32_t>(stream.size() - 6));
    std::copy_n(stream.begin(), 6, b.Header);
    return b;
}

}  // namespace

TEST_F(CommRun, ProgressShowsSearchThenCommandAndEndsAtOneOfTwo) {
    Bytes config(24, 0);
    Add(csReadMemConfig, "Reading configuration")->Data = config.data();
    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    const auto shown = driver.Progress();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown.front().Caption, "Searching QX...");
    EXPECT_EQ(shown.front().Operations, "0 / 2 operation(s) executed.");
    EXPECT_EQ(shown.back().Caption, "Reading configuration");
    EXPECT_EQ(shown.back().Operations, "1 / 2 operation(s) executed.");
    EXPECT_EQ(shown.back().CommandPosition, 100);
    EXPECT_EQ(shown.back().RunPosition, 100);
    EXPECT_EQ(shown.back().Count, 1);
    EXPECT_EQ(shown.back().Total, 1);
    auto run = TCommSequencer::Create(link.get(), &list, nullptr, 0, nullptr, false);
    EXPECT_EQ(run->InitialOperations(), "0 / 2 operation(s) executed.");
}

TEST_F(CommRun, RetryRepeatsTheFailingCommandFromItsFirstPacket) {
    const Bytes stream = Stream(300);
    TQXBlockMem block = BlockOf(5, stream);
    Add(csWriteBlock, "Block")->Data = &block;
    unit.Refuse(0x14, 10);  // refuses the first packet once
    driver.Answers = {caRetry};
    auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    EXPECT_FALSE(out.Ignored);
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[0].Data, sent[1].Data);  // offset 0 both times
    EXPECT_EQ(unit.GetBlock(0, 5), stream);
}

TEST_F(CommRun, IgnoreGoesOnAndTheResultSaysSo) {
    Bytes buffer(24, 0);
    // Ignored error, then a good command: error code 0, but Ignore is told.
    Add(csWriteData, "Refused")->Data = buffer.data();
    list.Get(0)->Length = 4;
    Add(csReadMemConfig)->Data = buffer.data();
    unit.Refuse(0x32, 9);
    driver.Answers = {caIgnore};
    auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    EXPECT_TRUE(out.Ignored);

    // Ignored on the last command: the run ends with that error.
    list.Clear();
    sim.ClearRecords();
    Add(csWriteData, "Refused")->Data = buffer.data();
    list.Get(0)->Length = 4;
    unit.Refuse(0x32, 20);
    CommDriver ignoring;
    ignoring.Answers = {caIgnore};
    out = ignoring.Run(*link, list);
    EXPECT_EQ(out.Result, Result(2, 20, 133));
    EXPECT_TRUE(out.Ignored);
    // A reason above 15 leaves the reason line empty.
    EXPECT_EQ(ignoring.Questions()[0].Asked.Text, "Refused\r\nCannot write data.\r\n");
}

TEST_F(CommRun, CommandOfNoKnownServiceEndsTheRunWithError130) {
    for (int32_t service : {0, 6, 14, -3}) {
        list.Clear();
        sim.ClearRecords();
        Bytes buffer(24, 0);
        Add(service, "Odd");
        Add(csReadMemConfig)->Data = buffer.data();
        CommDriver d;
        const auto out = d.Run(*link, list);
        EXPECT_EQ(out.Result, Result(2, 0, 130)) << service;
        EXPECT_EQ(list.Get(1)->Service, 0);
        EXPECT_TRUE(Sent().empty());
        EXPECT_TRUE(d.Questions().empty());
        EXPECT_NE(out.Log.find("Unknown service.\r\n"), std::string::npos);
    }
    // Any other super service counts as a plain command.
    list.Clear();
    Bytes buffer(24, 0);
    _CommCmd* c = Add(csReadMemConfig);
    c->SuperService = 7;
    c->Data = buffer.data();
    EXPECT_EQ(CommDriver().Run(*link, list).Result, Result(2, 0, 0));
    EXPECT_EQ(c->SuperService, 0);
}

TEST_F(CommRun, CancelEndsTheRunAtTheNextTickClosesThePortAndSendsNoMore) {
    Bytes buffer(0x10000, 0);
    _CommCmd* c = Add(csReadData);
    c->Data = buffer.data();
    c->Length = 0x10000;
    std::chrono::steady_clock::time_point cancelled;
    driver.OnTick = [&](TCommSequencer&) {
        if (sim.RequestCount() < 10) return false;
        if (cancelled == std::chrono::steady_clock::time_point()) cancelled = std::chrono::steady_clock::now();
        return true;
    };
    const auto out = Go();
    const auto took = std::chrono::steady_clock::now() - cancelled;
    EXPECT_EQ(out.Result.State, 1);
    EXPECT_EQ(out.Result.ErrorCode, 0);
    EXPECT_LT(took, 1s);  // the rest of the read would take seconds
    EXPECT_FALSE(link->IsOpen());
    const size_t after = sim.RequestCount();
    std::this_thread::sleep_for(150ms);
    EXPECT_LE(sim.RequestCount(), after + 1);
    EXPECT_LT(sim.RequestCount(), 0x10000u / 70);
}

namespace {

// A view that never answers the error question: the dialog is closed while
// the scheduler thread waits for it.
class Unanswered : public TCommView {
public:
    std::mutex Lock;
    std::condition_variable Changed;
    bool Posted = false;
    void ShowProgress(const _CommProgressView&) override {}
    int32_t AskError(const _CommErrorQuestion&) override { return caAbort; }
    void PostError(const _CommErrorQuestion&) override {
        std::lock_guard lock(Lock);
        Posted = true;
        Changed.notify_all();
    }
};

// A view whose message processing throws inside the first pass.
class Throwing : public CommDriver {
public:
    void ProcessMessages() override { throw std::runtime_error("broken"); }
};

}  // namespace

TEST_F(CommRun, ClosingWhileTheErrorQuestionIsOpenEndsEverything) {
    Bytes buffer(4, 0);
    Add(csWriteData, "Write")->Data = buffer.data();
    list.Get(0)->Length = 4;
    unit.Refuse(0x32, 5);
    Unanswered view;
    int32_t port = 1;
    {
        auto run = TCommSequencer::Create(link.get(), &list, &port, 2, nullptr, false);
        run->Attach(&view);
        run->Tick();
        std::unique_lock lock(view.Lock);
        ASSERT_TRUE(view.Changed.wait_for(lock, 3s, [&] { return view.Posted; })) << run->GetLog();
        lock.unlock();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(_CommResult::Unpack(run->Close()), Result(1, 5, 133));
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);  // the question is never answered
        EXPECT_EQ(run->Close(), Result(1, 5, 133).Pack());
    }
    EXPECT_FALSE(link->IsOpen());
}

TEST_F(CommRun, ExceptionInsideAPassEndsTheRunWithError130) {
    Throwing throwing;
    Bytes buffer(24, 0);
    Add(csReadMemConfig)->Data = buffer.data();
    const auto out = throwing.Run(*link, list);
    EXPECT_EQ(out.Result, Result(2, 0, 130));
    EXPECT_FALSE(link->IsOpen());
}

TEST(CommTexts, ErrorAndReasonTexts) {
    const TMLSUnit texts(BuiltInMessages, std::string());
    _QXModelVersion model;
    model.SetText("V9.1");
    const std::pair<int32_t, const char*> errors[] = {
        {0, "No errors."},
        {5, "Communication service error."},
        {6, "Communication timeout."},
        {130, "Internal error, cannot access service memory."},
        {131, "Cannot read data."},
        {133, "Cannot write data."},
        {135, "Cannot send SRec/Hex file."},
        {137, "Cannot delete SRec/Hex file."},
        {138, "Cannot read block descriptor."},
        {139, "Cannot delete block."},
        {140, "Cannot read block."},
        {141, "Cannot write block."},
        {144, "Cannot write block."},
        {142, "Wrong block FCS."},
        {143, "Cannot delete type."},
        {145, "QX not found. Check QX and connection cable."},
        {146, "The QX Model (V9.1) is different that was expected."},
        {161, "Not enought memory for language."},
        {162, "PC Menu is incompatible with QX Menu (different size)."},
        {163, "Language menu cannot be deleted (invalid index)."},
        {132, "Unknown error."},
        {7, "Unknown error."},
    };
    for (const auto& [code, text] : errors) EXPECT_EQ(CommErrorText(texts, code, model), text) << code;
    const std::pair<int32_t, const char*> reasons[] = {
        {0, ""},
        {1, "Wrong address."},
        {2, "Wrong function."},
        {4, "Data overwrite."},
        {9, "Error Flash Writting."},
        {15, "Wrong Data Index."},
        {16, ""},
        {255, ""},
    };
    for (const auto& [reason, text] : reasons) EXPECT_EQ(CommReasonText(texts, reason), text) << reason;
}
