// The communication dialog running command lists against the simulated
// unit, offscreen; the error dialog is answered by the test.
#include "../CommFixture.h"

#include "CommModule.h"
#include "DebugForm.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "commmodule_test";
    static char* argv[] = {name, nullptr};
    // Kept to the end of the process: Qt's own devices go before it.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

class Dialog : public CommRun {
protected:
    std::unique_ptr<QWidget> ownerWindow;
    int32_t port = 1;
    _QXModelVersion model;
    std::vector<_CommErrorQuestion> asked;
    std::vector<int32_t> answers;

    void SetUp() override {
        App();
        ownerWindow = std::make_unique<QWidget>();
        CommRun::SetUp();
        TDialogAnswers::Set<TfrmDebugForm>([this](TfrmDebugForm& form) {
            // Asked from the scheduler thread, shown on the GUI thread.
            EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
            _CommErrorQuestion q;
            q.Title = form.windowTitle().toStdString();
            q.Text = form.lblInfo->text().toStdString();
            q.Details = form.memoDebug->toPlainText().toStdString();
            for (QPushButton* b : {form.btnButton1, form.btnButton2, form.btnButton3})
                if (!b->isHidden()) q.Buttons = q.Buttons * 10 + b->property("Tag").toInt();
            asked.push_back(q);
            const int32_t answer = answers.empty() ? caAbort : answers.front();
            if (!answers.empty()) answers.erase(answers.begin());
            return answer;
        });
    }
    void TearDown() override {
        TDialogAnswers::Clear<TfrmDebugForm>();
        CommRun::TearDown();
        ownerWindow.reset();
    }
    _CommResult Run(bool* ignored = nullptr, bool quiet = false) {
        return RunCommands(ownerWindow.get(), link.get(), &list, &port, 2, &model, quiet, ignored);
    }
};

}  // namespace

TEST_F(Dialog, OneCommandRunsToTheEnd) {
    Bytes config(24, 0);
    Add(csReadMemConfig, "Reading")->Data = config.data();
    TfrmCommModule dialog(ownerWindow.get(), link.get(), &list, &port, 2, &model, false);
    EXPECT_EQ(dialog.windowTitle(), "Communication");
    EXPECT_EQ(dialog.Label1->text(), "Connecting...");
    EXPECT_EQ(dialog.Label3->text(), "0 / 1 operation(s) executed.");
    EXPECT_EQ(dialog.size(), QSize(282, 121));
    const int result = dialog.exec();
    EXPECT_EQ(_CommResult::Unpack(static_cast<uint32_t>(result)), Result(2, 0, 0));
    EXPECT_EQ(dialog.GetResult(), Result(2, 0, 0));
    QApplication::processEvents();
    EXPECT_EQ(dialog.Label1->text(), "Reading");
    EXPECT_EQ(dialog.Label3->text(), "1 / 2 operation(s) executed.");
    EXPECT_EQ(dialog.ProgressBar1->value(), 100);
    EXPECT_EQ(dialog.ProgressBar2->value(), 100);
    EXPECT_EQ(dialog.lcount->text(), "1");
    EXPECT_EQ(dialog.lsize->text(), "1");
    EXPECT_EQ(config, unit.MemConfigBytes());
    EXPECT_FALSE(link->IsOpen());
}

TEST_F(Dialog, ErrorDialogAnswers) {
    // Each refusal of the write meets one answer of the error dialog.
    const struct {
        const char* what;
        std::vector<int32_t> answers;
        int refusals;
        _CommResult result;
        bool ignored;
        size_t writes;
    } cases[] = {
        {"Abort", {caAbort}, 1, Result(2, 5, 133), false, 1},
        {"Retry, then success", {caRetry}, 1, Result(2, 0, 0), false, 2},
        {"Ignore on the last command", {caIgnore}, 1, Result(2, 5, 133), true, 1},
        {"Esc", {1}, 1, Result(2, 5, 133), false, 1},
    };
    Bytes data(4, 7);
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        list.Clear();
        sim.ClearRecords();
        asked.clear();
        answers = k.answers;
        _CommCmd* c = Add(csWriteData, "Writing");
        c->Data = data.data();
        c->Length = 4;
        unit.Refuse(0x32, 5, k.refusals);
        bool ignored = !k.ignored;
        EXPECT_EQ(Run(&ignored), k.result);
        EXPECT_EQ(ignored, k.ignored);
        EXPECT_EQ(Sent().size(), k.writes);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].Title, "Communication Error");
        EXPECT_EQ(asked[0].Buttons, 345);
        EXPECT_EQ(asked[0].Text, "Writing\nCannot write data.\nWrong data.");
        EXPECT_EQ(asked[0].Details,
                  "Search QX service started.\nQX found.\nStart address: 000000h.\nWrite data service started.\n"
                  "Address: 000000h.\nWrite error. NAK packet received. (Data[0]: 05h).\n");
        EXPECT_TRUE(ownerWindow->isEnabled());
    }
}

TEST_F(Dialog, NoUnitOffersRetryAndCancel) {
    sim.On(0xC3, [](SimUnit&, const SimUnit::Request&) { return std::optional<SimUnit::Answer>(); });
    answers = {caCancel};
    EXPECT_EQ(Run(), Result(2, 0, 145));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Buttons, 42);
    EXPECT_EQ(asked[0].Text, "Searching QX...\nQX not found. Check QX and connection cable.\n");
}

TEST_F(Dialog, CancelEndsTheRunAtOnce) {
    Bytes buffer(0x10000, 0);
    _CommCmd* c = Add(csReadData);
    c->Data = buffer.data();
    c->Length = 0x10000;
    TfrmCommModule dialog(ownerWindow.get(), link.get(), &list, &port, 2, &model, false);
    std::chrono::steady_clock::time_point clicked;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (sim.RequestCount() >= 10 && clicked == std::chrono::steady_clock::time_point()) {
            clicked = std::chrono::steady_clock::now();
            dialog.btnCancel->click();
        }
    });
    poll.start(5);
    dialog.exec();
    const auto took = std::chrono::steady_clock::now() - clicked;
    EXPECT_EQ(dialog.GetResult().State, 1);
    EXPECT_LE(took, 1s);  // the rest of the read would take seconds
    EXPECT_FALSE(link->IsOpen());
}

TEST_F(Dialog, ClosingTheWindowCancels) {
    Bytes buffer(0x10000, 0);
    _CommCmd* c = Add(csReadData);
    c->Data = buffer.data();
    c->Length = 0x10000;
    TfrmCommModule dialog(ownerWindow.get(), link.get(), &list, &port, 2, &model, false);
    QTimer::singleShot(300, &dialog, [&] { dialog.close(); });
    dialog.exec();
    EXPECT_EQ(dialog.GetResult().State, 1);
    EXPECT_FALSE(link->IsOpen());
    const size_t after = sim.RequestCount();
    std::this_thread::sleep_for(150ms);
    EXPECT_LE(sim.RequestCount(), after + 1);
}
