// Windows laid out by layouts open at their designed size, grown where their
// texts need more, and never shrink under their texts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <functional>

#include "../../support/gui/LayoutCheck.h"
#include "FormLayout.h"

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "formlayout_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

const QString Sentence = "Using this checkbox user can reset application settings.";

QString Times(const QString& text, int n) {
    QString all;
    for (int i = 0; i < n; ++i) all += (i ? " " : "") + text;
    return all;
}

// A dialog of one label, word-wrapped or not.
struct LabelDialog {
    QDialog dialog;
    QLabel* label = new QLabel;
    LabelDialog(const QString& text, bool wrap) {
        dialog.setObjectName("dlg");
        label->setObjectName("lbl");
        label->setText(text);
        label->setWordWrap(wrap);
        (new QVBoxLayout(&dialog))->addWidget(label);
    }
};

}  // namespace

TEST(FormLayout, OpensAtTheDesignedSizeGrownToItsTexts) {
    App();
    const QSize designed(300, 120);
    const struct {
        const char* what;
        QString text;
        bool wrap;
        bool wider, higher;
    } cases[] = {
        {"short text", "Short", false, false, false},
        {"long line", Times(Sentence, 2), false, true, false},
        {"long wrapped text", Times(Sentence, 8), true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LabelDialog d(c.text, c.wrap);
        SetStartingSize(&d.dialog, designed);
        EXPECT_EQ(d.dialog.width() > designed.width(), c.wider);
        EXPECT_EQ(d.dialog.height() > designed.height(), c.higher);
        EXPECT_EQ(d.dialog.minimumSize(), d.dialog.size());
        EXPECT_EQ(LayoutProblems(&d.dialog), std::vector<std::string>{});
        d.dialog.hide();
    }
}

TEST(FormLayout, GrowsWithItsTextsAndNeverShrinks) {
    App();
    const QSize designed(200, 60);
    LabelDialog d("Connecting...", false);
    SetStartingSize(&d.dialog, designed);
    EXPECT_EQ(d.dialog.size(), designed);
    d.dialog.show();
    d.label->setText(Times(Sentence, 2));
    GrowToLayout(&d.dialog, designed);
    EXPECT_EQ(LayoutProblems(&d.dialog), std::vector<std::string>{});
    const QSize grown = d.dialog.size();
    EXPECT_GT(grown.width(), designed.width());
    d.label->setText("x");
    GrowToLayout(&d.dialog, designed);
    EXPECT_EQ(d.dialog.size(), grown);
    d.dialog.hide();
}

// A tab widget asks only the page in front whether its height depends on
// its width; a page behind it with a wrapped text still gets all the
// height that text needs.
TEST(FormLayout, WrappedTextsOnPagesBehindGetTheirHeight) {
    App();
    for (int page : {0, 1}) {
        SCOPED_TRACE(page);
        QDialog dialog;
        dialog.setObjectName("dlg");
        auto* tabs = new QTabWidget;
        tabs->setObjectName("tabs");
        for (int i = 0; i < 2; ++i) {
            auto* sheet = new QWidget;
            sheet->setObjectName(QString("page%1").arg(i));
            auto* grid = new QGridLayout(sheet);
            auto* label = new QLabel(i == 1 ? Times(Sentence, 10) : QString("Short"));
            label->setObjectName("lbl");
            label->setWordWrap(i == 1);
            grid->addWidget(label, 0, 0);
            tabs->addTab(sheet, QString("Page %1").arg(i));
        }
        (new QVBoxLayout(&dialog))->addWidget(tabs);
        tabs->setCurrentIndex(page);
        SetStartingSize(&dialog, QSize(300, 100));
        EXPECT_EQ(LayoutProblems(&dialog), std::vector<std::string>{});
        dialog.hide();
    }
}

// A box with a short message and a long caption ("Communication Error",
// "QX318 Utility V2.7") is wide enough to show the whole caption.
TEST(FormLayout, AMessageBoxKeepsItsCaptionWhole) {
    App();
    for (const char* caption : {"Communication Error", "QX318 Utility V2.7", "SRecord/Hex/BIN loader - Error"}) {
        QMessageBox box;
        box.setWindowTitle(caption);
        box.setText("OK");
        box.setIcon(QMessageBox::Critical);
        QFont bold = box.font();
        bold.setBold(true);
        const int needed = QFontMetrics(bold).horizontalAdvance(caption);
        KeepCaptionWhole(box);
        box.show();
        QApplication::processEvents();
        EXPECT_GT(box.width(), needed) << caption;
        box.hide();
    }
}
