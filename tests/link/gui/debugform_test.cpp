// The communication error dialog, offscreen.
#include "DebugForm.h"
#include "Messages.h"
#include "Mlsunit.h"
#include "Sequencer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "debugform_test";
    static char* argv[] = {name, nullptr};
    // Kept to the end of the process: Qt's own devices go before it.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

class DebugForm : public ::testing::Test {
protected:
    TMLSUnit texts{BuiltInMessages, std::string()};
    void SetUp() override { App(); }
};

struct Shown {
    QString text;
    int tag;
};

std::vector<Shown> Buttons(TfrmDebugForm& form) {
    std::vector<Shown> shown;
    for (QPushButton* b : {form.btnButton1, form.btnButton2, form.btnButton3})
        if (!b->isHidden()) shown.push_back({b->text(), b->property("Tag").toInt()});
    return shown;
}

}  // namespace

TEST_F(DebugForm, ButtonSetsShowTheirButtonsWithTheirAnswers) {
    const struct {
        int32_t set;
        std::vector<std::pair<const char*, int>> buttons;
        int firstShown;  // 1..3: which button is the first visible
    } cases[] = {
        {cbOk, {{"&Ok", 1}}, 3},
        {cbOkCancel, {{"&Ok", 1}, {"&Cancel", 2}}, 2},
        {cbAbortRetryIgnore, {{"&Abort", 3}, {"&Retry", 4}, {"&Ignore", 5}}, 1},
        {cbYesNoCancel, {{"&Yes", 6}, {"&No", 7}, {"&Cancel", 2}}, 1},
        {cbYesNo, {{"&Yes", 6}, {"&No", 7}}, 2},
        {cbRetryCancel, {{"&Retry", 4}, {"&Cancel", 2}}, 2},
        {9, {{"&Ok", 1}}, 3},
        {-1, {{"&Ok", 1}}, 3},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.set);
        TfrmDebugForm form(nullptr, "log", "info", "Title", k.set, texts);
        const auto shown = Buttons(form);
        ASSERT_EQ(shown.size(), k.buttons.size());
        for (size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i].text, k.buttons[i].first);
            EXPECT_EQ(shown[i].tag, k.buttons[i].second);
        }
        QPushButton* all[] = {form.btnButton1, form.btnButton2, form.btnButton3};
        EXPECT_FALSE(all[k.firstShown - 1]->isHidden());
        if (k.firstShown > 1) {
            EXPECT_TRUE(all[k.firstShown - 2]->isHidden());
        }
        EXPECT_EQ(form.windowTitle(), "Title");
        EXPECT_EQ(form.lblInfo->text(), "info");
    }
}

TEST_F(DebugForm, ModalAnswersAreTheButtonsTagsAndEscGivesOne) {
    TfrmDebugForm retry(nullptr, "log", "info", "T", cbAbortRetryIgnore, texts);
    QTimer::singleShot(0, retry.btnButton2, &QPushButton::click);
    EXPECT_EQ(retry.exec(), caRetry);

    for (int32_t set : {cbAbortRetryIgnore, cbYesNo, cbOk}) {
        TfrmDebugForm form(nullptr, "", "info", "T", set, texts);
        QTimer::singleShot(0, &form, [&form] {
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&form, &esc);
        });
        EXPECT_EQ(form.exec(), 1) << set;
    }
}

TEST_F(DebugForm, DetailsOpenCollapsedAndShowTheEndOfTheLog) {
    TfrmDebugForm empty(nullptr, "", "info", "T", cbOk, texts);
    EXPECT_FALSE(empty.btnDetails->isEnabled());
    EXPECT_EQ(empty.height(), 100);
    EXPECT_EQ(empty.btnDetails->text(), "&Details>>>");
    EXPECT_TRUE(empty.memoDebug->isHidden());

    std::string log;
    for (int i = 0; i < 200; ++i) log += "Line " + std::to_string(i) + "\r\n";
    TfrmDebugForm form(nullptr, log, "a\r\nb", "T", cbOk, texts);
    EXPECT_EQ(form.lblInfo->text(), "a\nb");
    EXPECT_TRUE(form.btnDetails->isEnabled());
    form.show();
    form.btnDetails->click();
    EXPECT_EQ(form.height(), 360);
    EXPECT_EQ(form.btnDetails->text(), "&Details<<<");
    EXPECT_FALSE(form.memoDebug->isHidden());
    EXPECT_EQ(form.memoDebug->textCursor().position(), form.memoDebug->toPlainText().size());
    EXPECT_GE(form.memoDebug->verticalScrollBar()->value(), form.memoDebug->verticalScrollBar()->maximum() - 1);
    EXPECT_TRUE(form.memoDebug->toPlainText().startsWith("Line 0\nLine 1\n"));
    // The log shows on the button face.
    EXPECT_EQ(form.memoDebug->palette().color(QPalette::Base), form.palette().color(QPalette::Button));
    form.btnDetails->click();
    EXPECT_EQ(form.height(), 100);
    form.hide();
}

TEST_F(DebugForm, ShowDisablesTheOwnerWhileItIsOpen) {
    QWidget owner;
    bool enabledWhileShown = true;
    {
        const TDialogAnswerGuard<TfrmDebugForm> answer([&](TfrmDebugForm& form) {
            enabledWhileShown = form.parentWidget()->isEnabled();
            form.btnButton3->click();
            return form.result();
        });
        EXPECT_EQ(TfrmDebugForm::Show(&owner, texts, cbAbortRetryIgnore, "T", "i", "d"), caIgnore);
    }
    EXPECT_FALSE(enabledWhileShown);
    EXPECT_TRUE(owner.isEnabled());
}

// A port named with its device and the system's cause is longer than the
// dialog's designed width: shown, the details take the width of their
// longest line, so that no cause is cut off.
TEST_F(DebugForm, DetailsAreAsWideAsTheirLongestLine) {
    const std::string cause = "COM1 (/dev/ttyUSB0): Permission denied (the user must be in the dialout group)";
    TfrmDebugForm form(nullptr, "Cannot open Com Port (COM1).\r\n" + cause + "\r\n", "info", "T", cbOk, texts);
    form.show();
    const int collapsed = form.width();
    form.btnDetails->click();
    QApplication::processEvents();
    EXPECT_GT(form.width(), collapsed);
    const int line = form.memoDebug->fontMetrics().horizontalAdvance(QString::fromStdString(cause));
    EXPECT_GE(form.memoDebug->viewport()->width(), line);
    EXPECT_EQ(form.memoDebug->horizontalScrollBar()->maximum(), 0);
    form.hide();
}
