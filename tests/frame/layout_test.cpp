// The frame's dialogs show every text whole: in English, in a language whose
// texts are twice as long, and in a bigger font.
#include <QTest>

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
