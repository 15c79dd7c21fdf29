#include <QElapsedTimer>
#include <QTest>

#include "FrameTest.h"
#include "Logo.h"

namespace {

class Logo : public FrameFixture {
protected:
    std::vector<std::string> StartedTools() const {
        std::vector<std::string> tools;
        for (const auto& s : Starts) tools.push_back(s.Program);
        return tools;
    }
};

}  // namespace

TEST_F(Logo, BlankPictureWithoutALogoFile) {
    // Missing, and present but not a picture: both leave the blank picture.
    for (bool present : {false, true}) {
        if (present) WriteFileBytes(ProgramDir / "logo.bmp", "BM this is no bitmap");
        TfrmLogo logo(nullptr, true, 0, "line 1\r\nline 2", "", 66, 10);
        EXPECT_EQ(logo.size(), QSize(300, 200));
        EXPECT_EQ(logo.lblText->pos(), QPoint(10, 66));
        EXPECT_EQ(logo.lblText->text(), "line 1\nline 2");
        EXPECT_EQ(logo.lblText->font().pixelSize(), 12);
        EXPECT_EQ(logo.windowTitle(), "About");
        EXPECT_FALSE(logo.CloseTimer->isActive());
    }
}

TEST_F(Logo, PictureGivesTheSize) {
    QImage picture(549, 323, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(QString::fromStdString((ProgramDir / "logo.bmp").string()), "BMP"));
    TfrmLogo logo(nullptr, false, 1500, "x", "Caption", 66, 10);
    EXPECT_EQ(logo.size(), QSize(549, 323));
    EXPECT_EQ(logo.windowTitle(), "Caption");
    EXPECT_TRUE(logo.CloseTimer->isActive());
    EXPECT_EQ(logo.CloseTimer->interval(), 1500);
    EXPECT_TRUE(logo.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(logo.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(Logo, SplashFreesItselfWhenClosed) {
    QPointer<TfrmLogo> splash = ShowLogo(nullptr, 10, 66, "", "text", 400, false, false);
    ASSERT_TRUE(splash);
    EXPECT_TRUE(splash->isVisible());
    // Closes after 400 ms (long enough that a busy machine still sees it
    // shown first); a loaded machine may take much longer to get there.
    QElapsedTimer waited;
    waited.start();
    while (splash && waited.elapsed() < 10000) {
        QTest::qWait(10);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_FALSE(splash);

    QPointer<TfrmLogo> clicked = ShowLogo(nullptr, 10, 66, "", "text", 0, true, false);
    QTest::mouseClick(clicked, Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(clicked);
}

TEST_F(Logo, AccessCodeStartsTheExpertTool) {
    TfrmLogo logo(nullptr, true, 0, "", "", 66, 10);
    logo.show();
    QTest::keyClicks(&logo, "xyKVO");
    EXPECT_TRUE(Starts.empty());
    QTest::keyClicks(&logo, "Z");
    ASSERT_EQ(StartedTools(), std::vector<std::string>{(ProgramDir / "exppss.pss").string()});
    EXPECT_TRUE(Starts[0].Arguments.empty());
    EXPECT_TRUE(logo.isVisible());  // stays open
    QTest::keyClicks(&logo, "KVOZ");
    EXPECT_EQ(Starts.size(), 2u);
    QTest::keyClicks(&logo, "kvoz");
    QTest::keyClicks(&logo, "KVoZ");
    EXPECT_EQ(Starts.size(), 2u);
    // Esc closes and is not stored.
    QTest::keyClicks(&logo, "KVO");
    QTest::keyClick(&logo, Qt::Key_Escape);
    EXPECT_FALSE(logo.isVisible());
    logo.FormKeyPress('Z');
    EXPECT_EQ(Starts.size(), 3u);
    EXPECT_TRUE(Messages.empty());
}
