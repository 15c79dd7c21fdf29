// Windows placed where they can be seen, and the program's own icon: a saved
// placement that lies off every screen comes back onto one, a document window
// placed past the document area's edge is shown inside it, and the main
// window carries our icon.
#include <QMdiArea>
#include <QTest>

#include "AppIcon.h"
#include "Appinterface.h"
#include "FrameTest.h"
#include "Main.h"
#include "ScreenFit.h"

namespace {

class ScreenFit : public FrameFixture {
protected:
    static QRect Available() { return QGuiApplication::primaryScreen()->availableGeometry(); }
};

}  // namespace

TEST_F(ScreenFit, SavedMainPlacementOffEveryScreenComesBack) {
    struct {
        _WindowPlacement Saved;
        QRect Expected;  // empty: anywhere fully on the screen
    } cases[] = {
        {{100, 50, 500, 400, _WindowPlacement::Normal}, QRect(50, 100, 500, 400)},  // visible: unchanged
        {{5000, 6000, 500, 400, _WindowPlacement::Normal}, QRect()},               // on no screen
        {{-900, -900, 500, 400, _WindowPlacement::Normal}, QRect()},               // above and left
        {{0, 0, 9000, 9000, _WindowPlacement::Normal}, QRect()},                   // larger than the screen
    };
    for (const auto& c : cases) {
        {
            _AppInterface app;
            app.MainPlacement = c.Saved;
            ASSERT_TRUE(SaveSettings(app, GetSettingsFilePath(CfgPath().string())));
        }
        TfrmQX318MainForm w;
        if (!c.Expected.isEmpty()) {
            EXPECT_EQ(w.geometry(), c.Expected);
        }
        // Before it is shown the window's frame is not known yet: its
        // client rectangle lies on the screen.
        EXPECT_TRUE(Available().contains(w.geometry()))
            << c.Saved.Left << "," << c.Saved.Top << " -> " << w.x() << "," << w.y() << " " << w.width() << "x"
            << w.height() << " on " << Available().width() << "x" << Available().height();
    }
}

TEST_F(ScreenFit, DocumentWindowIsShownInsideTheArea) {
    TfrmQX318MainForm main;
    main.setWindowState(Qt::WindowNoState);
    main.resize(700, 500);
    // Reopened at start-up from a placement past the area's edge: placed
    // once the main window is on the screen.
    auto* early = new TMDICustomChild(&main.App);
    early->setWidget(new QWidget);
    RestoreWindowPlacement(early, {5000, 5000, 300, 200, _WindowPlacement::Normal});
    early->show();
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    const QRect area = main.ClientArea->viewport()->rect();
    EXPECT_TRUE(area.contains(early->geometry()));
    EXPECT_EQ(early->size(), QSize(300, 200));

    // Restored past the right edge and below the bottom of the area.
    auto* child = new TMDICustomChild(&main.App);
    child->setWidget(new QWidget);
    RestoreWindowPlacement(child, {5000, 5000, 300, 200, _WindowPlacement::Normal});
    EXPECT_TRUE(area.contains(child->geometry()));
    // Moved off before it is shown: placed when shown.
    auto* later = new TMDICustomChild(&main.App);
    later->setWidget(new QWidget);
    later->setGeometry(area.width() - 50, 10, 300, 200);
    later->show();
    EXPECT_TRUE(area.contains(later->geometry()));
    EXPECT_EQ(later->size(), QSize(300, 200));
    // Larger than the area: cut down to it.
    auto* large = new TMDICustomChild(&main.App);
    large->setWidget(new QWidget);
    RestoreWindowPlacement(large, {0, 0, 3000, 3000, _WindowPlacement::Normal});
    EXPECT_EQ(large->geometry(), area);
    // One in view stays where it is.
    auto* inView = new TMDICustomChild(&main.App);
    inView->setWidget(new QWidget);
    RestoreWindowPlacement(inView, {20, 30, 200, 150, _WindowPlacement::Normal});
    inView->show();
    EXPECT_EQ(inView->geometry(), QRect(30, 20, 200, 150));
}

TEST_F(ScreenFit, TheProgramsOwnIcon) {
    const QIcon& ours = ProgramIcon();
    ASSERT_FALSE(ours.isNull());
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QPixmap pixmap = ours.pixmap(QSize(size, size));
        EXPECT_EQ(pixmap.size(), QSize(size, size)) << size;
        // Drawn, not blank: the unit's dark body is in the middle.
        EXPECT_GT(pixmap.toImage().pixelColor(size / 3, size / 2).alpha(), 200) << size;
    }
    TfrmQX318MainForm w;
    EXPECT_EQ(w.windowIcon().cacheKey(), ours.cacheKey());
    SetUpProgramIcon();
    EXPECT_EQ(QApplication::windowIcon().cacheKey(), ours.cacheKey());
}
