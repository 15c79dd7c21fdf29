// The two communication dialogs show every text whole: in English, in a
// language whose texts are twice as long, and in a bigger font.
#include "../../support/gui/LayoutCheck.h"
#include "../CommFixture.h"

#include "CommModule.h"
#include "DebugForm.h"
#include "MessageIds.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using Problems = std::vector<std::string>;

QApplication& App() {
    static int argc = 1;
    static char name[] = "layout_test";
    static char* argv[] = {name, nullptr};
    // Kept to the end of the process: Qt's own devices go before it.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

enum class Texts { English, Long, BigFont };

struct Language {
    const char* what;
    Texts texts;
};

const Language Languages[] = {
    {"English", Texts::English},
    {"twice as long", Texts::Long},
    {"bigger font", Texts::BigFont},
};

// An error text as a run shows it: the command, the error and the reason.
const std::string Info = "Searching QX...\r\nQX not found. Check QX and connection cable.\r\nWrong address.";

class Layouts : public ::testing::Test {
protected:
    std::filesystem::path File =
        std::filesystem::temp_directory_path() / ("qxlayout-" + std::to_string(getpid()) + ".mls");
    QFont Font;
    std::unique_ptr<TMLSUnit> Mls;

    void SetUp() override {
        App();
        Font = QApplication::font();
    }
    void TearDown() override {
        QApplication::setFont(Font);
        std::filesystem::remove(File);
    }
    // The text layer in the language asked for, its file made from the
    // English windows.
    TMLSUnit& Select(Texts texts, const std::vector<QWidget*>& english) {
        QApplication::setFont(Font);
        std::filesystem::remove(File);
        if (texts == Texts::Long) std::ofstream(File, std::ios::binary) << LongTextsLanguageFile(english);
        Mls = std::make_unique<TMLSUnit>(BuiltInMessages, File.string());
        Mls->SetLanguage(texts == Texts::Long ? 0 : -1);
        if (texts == Texts::BigFont) {
            QFont big = Font;
            big.setPointSize(14);
            QApplication::setFont(big);
        }
        return *Mls;
    }
    static std::string Twice(const std::string& text) { return text + text; }
};

}  // namespace

TEST_F(Layouts, ErrorDialogShowsEveryTextCollapsedAndExpanded) {
    std::string log;
    for (int i = 0; i < 40; ++i) log += "COM1: request " + std::to_string(i) + " timed out\r\n";
    for (const Language& l : Languages) {
        SCOPED_TRACE(l.what);
        TMLSUnit english(BuiltInMessages, std::string());
        TfrmDebugForm model(nullptr, log, Info, "Communication Error", cbYesNoCancel, english);
        TMLSUnit& texts = Select(l.texts, {&model});
        const bool longTexts = l.texts == Texts::Long;
        for (int32_t set : {cbOk, cbAbortRetryIgnore, cbYesNoCancel}) {
            SCOPED_TRACE(set);
            TfrmDebugForm form(nullptr, log, longTexts ? Twice(Info) : Info,
                               longTexts ? Twice("Communication Error") : "Communication Error", set, texts);
            if (longTexts && set == cbOk) {
                ASSERT_EQ(form.btnButton3->text(), "&OkOk");
            }
            EXPECT_EQ(LayoutProblems(&form), Problems{}) << "collapsed";
            EXPECT_GE(form.width(), TfrmDebugForm::ClientWidth);
            if (l.texts == Texts::English) {
                EXPECT_EQ(form.height(), TfrmDebugForm::CollapsedHeight);
            }
            const QSize collapsed = form.size();
            form.btnDetails->click();
            EXPECT_EQ(LayoutProblems(&form), Problems{}) << "expanded";
            EXPECT_GE(form.height(), TfrmDebugForm::ExpandedHeight);
            EXPECT_EQ(form.width(), collapsed.width());
            form.btnDetails->click();
            EXPECT_EQ(form.size(), collapsed);
            form.hide();
        }
    }
}

// A dialog the user made wider keeps its width when the details are shown
// and hidden; a long text takes more lines, not more width.
TEST_F(Layouts, ErrorDialogKeepsTheWidthTheUserGaveIt) {
    TMLSUnit texts(BuiltInMessages, std::string());
    const std::string info = Twice(Twice(Info));
    TfrmDebugForm form(nullptr, "log", info, "T", cbAbortRetryIgnore, texts);
    form.show();
    EXPECT_EQ(form.width(), TfrmDebugForm::ClientWidth);
    EXPECT_GT(form.height(), TfrmDebugForm::CollapsedHeight);
    form.resize(900, form.height());
    form.btnDetails->click();
    EXPECT_EQ(form.width(), 900);
    form.btnDetails->click();
    EXPECT_EQ(form.width(), 900);
    EXPECT_EQ(LayoutProblems(&form), Problems{});
    form.hide();
}

TEST_F(Layouts, CommunicationDialogShowsEveryText) {
    for (const Language& l : Languages) {
        SCOPED_TRACE(l.what);
        TCommCmdList list;
        list.Add()->Service = csReadMemConfig;
        int32_t port = 1;
        _QXModelVersion model;
        TMLSUnit english(BuiltInMessages, std::string());
        std::unique_ptr<TBaseComModule> link = std::make_unique<TBaseComModule>(&english);
        std::unique_ptr<TfrmCommModule> sample(
            new TfrmCommModule(nullptr, link.get(), &list, &port, 2, &model, false));
        sample->tmrStartUp->stop();
        TMLSUnit& texts = Select(l.texts, {sample.get()});
        sample.reset();
        link = std::make_unique<TBaseComModule>(&texts);

        TfrmCommModule dialog(nullptr, link.get(), &list, &port, 2, &model, false);
        dialog.tmrStartUp->stop();  // nothing runs: only the looks are checked
        if (l.texts == Texts::Long) {
            ASSERT_EQ(dialog.Label4->text(), "bytes copied.bytes copied.");
        }
        EXPECT_EQ(LayoutProblems(&dialog), Problems{});
        if (l.texts == Texts::English) {
            EXPECT_EQ(dialog.size(), QSize(282, 121));
        }
        EXPECT_GE(dialog.width(), 282);
        EXPECT_GE(dialog.height(), 121);

        // A long caption and large counts widen the dialog; it never
        // shrinks back while the run goes on.
        _CommProgressView progress;
        progress.Caption = Twice(Twice("Writing block 'Parameters of the second conveyor belt'"));
        progress.Count = 1048576;
        progress.Total = 16777216;
        progress.Operations = "12 / 24 " + texts.GetText(Msg::OperationsExecuted);
        dialog.ShowProgress(progress);
        EXPECT_EQ(LayoutProblems(&dialog), Problems{}) << "long caption";
        const QSize wide = dialog.size();
        progress.Caption = "x";
        dialog.ShowProgress(progress);
        EXPECT_EQ(dialog.size(), wide);
        dialog.hide();
    }
}
