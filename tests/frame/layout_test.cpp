// The frame's dialogs show every text whole: in English, in a language whose
// texts are twice as long, and in a bigger font.
#include <QTest>
#include <QVBoxLayout>

#include "../support/gui/LayoutCheck.h"
#include "AppConfig.h"
#include "FrameTest.h"
#include "Logo.h"

namespace {

using Problems = std::vector<std::string>;

class Layouts : public FrameFixture {
protected:
    QFont Font;
    void SetUp() override {
        FrameFixture::SetUp();
        Font = QApplication::font();
    }
    void TearDown() override {
        QApplication::setFont(Font);
        FrameFixture::TearDown();
    }
    // A record whose language is "Long": every text of the configuration
    // dialog and every message twice as long as in English.
    std::unique_ptr<_AppInterface> LongTextsRecord() {
        {
            _AppInterface english;
            TfrmAppConfig dialog(&english);
            WriteFileBytes(ProgramDir / "QX318Utility.mls", LongTextsLanguageFile({&dialog}));
        }
        auto app = std::make_unique<_AppInterface>();
        app->Mls->SetLanguage(0);
        return app;
    }
};

}  // namespace

TEST_F(Layouts, ConfigurationShowsEveryText) {
    const struct {
        const char* what;
        bool longTexts;
        int pointSize;  // 0: the standard font
    } cases[] = {
        {"English", false, 0},
        {"twice as long", true, 0},
        {"bigger font", false, 14},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QApplication::setFont(Font);
        std::unique_ptr<_AppInterface> app = c.longTexts ? LongTextsRecord() : std::make_unique<_AppInterface>();
        if (c.pointSize) {
            QFont big = Font;
            big.setPointSize(c.pointSize);
            QApplication::setFont(big);
        }
        app->UnitsList->assign({"Newton metre per second squared", "kg"});
        TfrmAppConfig dialog(app.get());
        if (c.longTexts) {
            ASSERT_EQ(dialog.btnCancel->text(), "&CancelCancel");
            ASSERT_EQ(dialog.PageControl->tabText(2), "Reset DefaultsReset Defaults");
            ASSERT_EQ(dialog.listboxLanguages->item(0)->text(), "English (Default)English (Default)");
        }
        EXPECT_EQ(LayoutProblems(&dialog), Problems{});
        // The designed size is where it starts and the least it takes.
        EXPECT_GE(dialog.width(), 405);
        EXPECT_GE(dialog.height(), 407);
        if (!c.longTexts && !c.pointSize) {
            EXPECT_EQ(dialog.size(), QSize(405, 407));
        }
        const QSize opened = dialog.size();
        dialog.resize(100, 100);
        EXPECT_EQ(dialog.size(), opened);
    }
}

// The about window is the picture with the text over it; a text longer than
// the picture makes the window larger instead of being cut.
TEST_F(Layouts, AboutWindowShowsItsWholeText) {
    const std::string line = "QX-318 Utility 3.2.1 RZT Software, www.example-maker-web-address.com";
    std::string longText;
    for (int i = 0; i < 10; ++i) longText += line + line + "\r\n";
    const struct {
        const char* what;
        QSize picture;  // empty: no picture file
        std::string text;
        bool grows;
    } cases[] = {
        {"short text, blank picture", {}, "line 1\r\nline 2", false},
        {"long text, blank picture", {}, longText, true},
        {"long text, small picture", {200, 100}, longText, true},
        {"short text, big picture", {549, 323}, "x\r\ny", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(ProgramDir / "logo.bmp");
        QSize picture(300, 200);
        if (!c.picture.isEmpty()) {
            picture = c.picture;
            QImage image(picture, QImage::Format_RGB32);
            image.fill(Qt::darkBlue);
            ASSERT_TRUE(image.save(QString::fromStdString((ProgramDir / "logo.bmp").string()), "BMP"));
        }
        for (bool about : {true, false}) {
            TfrmLogo logo(nullptr, about, 0, c.text, "", 66, 10);
            EXPECT_EQ(LayoutProblems(&logo), Problems{});
            EXPECT_EQ(logo.lblText->pos(), QPoint(10, 66));
            if (c.grows) {
                EXPECT_GT(logo.width(), picture.width());
                EXPECT_GT(logo.height(), picture.height());
                // The margin on the left is kept on the right and below.
                EXPECT_EQ(logo.width() - logo.lblText->geometry().right() - 1, 10);
                EXPECT_EQ(logo.height() - logo.lblText->geometry().bottom() - 1, 10);
            } else {
                EXPECT_EQ(logo.size(), picture);
            }
        }
    }
}

// The check itself: each kind of fault a user would see is named, on any
// page of a tab widget; a window laid out by layouts passes.
TEST_F(Layouts, CheckNamesEveryKindOfFault) {
    auto label = [](QWidget* parent, const char* name, const char* text, QRect at) {
        auto* l = new QLabel(text, parent);
        l->setObjectName(name);
        l->setGeometry(at);
        return l;
    };
    const struct {
        const char* what;
        std::function<void(QWidget&)> build;
        std::vector<std::string> problems;  // each found in one problem, in order
    } cases[] = {
        {"laid out", [](QWidget& w) {
             auto* layout = new QVBoxLayout(&w);
             layout->addWidget(new QLabel("A text that needs its room"));
             layout->addWidget(new QPushButton("&Button"));
         }, {}},
        {"cut label", [&](QWidget& w) { label(&w, "lblCut", "A text that needs its room", {0, 0, 20, 20}); },
         {"w/lblCut: 20 x 20, its text needs"}},
        {"low wrapped label", [&](QWidget& w) {
             label(&w, "lblWrap", "one two three four five six seven", {0, 0, 60, 14})->setWordWrap(true);
         }, {"w/lblWrap: 14 high, its text needs"}},
        {"overlap", [](QWidget& w) {
             for (const char* name : {"btnA", "btnB"}) {
                 auto* b = new QPushButton("x", &w);
                 b->setObjectName(name);
                 b->setGeometry(10, 10, 100, 30);
             }
         }, {"w/btnA overlaps w/btnB"}},
        {"out of the group", [&](QWidget& w) {
             auto* group = new QGroupBox("Group", &w);
             group->setObjectName("grp");
             group->setGeometry(0, 0, 150, 100);
             label(group, "lblOut", "x", {120, 80, 40, 30});
         }, {"w/grp/lblOut: at 120,80 size 40 x 30 reaches out of w/grp"}},
        {"page behind", [&](QWidget& w) {
             auto* tabs = new QTabWidget(&w);
             tabs->setObjectName("tabs");
             tabs->addTab(new QWidget, "Front");
             auto* back = new QWidget;
             back->setObjectName("back");
             tabs->addTab(back, "Back");
             label(back, "lblBack", "A text that needs its room", {0, 0, 20, 20});
             tabs->setGeometry(0, 0, 300, 200);
         }, {"w/tabs/back/lblBack: 20 x 20"}},
        {"too large", [](QWidget& w) { w.setFixedSize(1100, 300); }, {"w: 1100 x 300 does not fit a screen of 1024 x 768"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QWidget window;
        window.setObjectName("w");
        window.resize(400, 300);
        c.build(window);
        const Problems found = LayoutProblems(&window);
        ASSERT_EQ(found.size(), c.problems.size()) << ::testing::PrintToString(found);
        for (size_t i = 0; i < found.size(); ++i)
            EXPECT_NE(found[i].find(c.problems[i]), std::string::npos) << found[i];
    }
}
