// Window > Arrange with the main window's document windows, whose least
// sizes are larger than a tile of the area: the windows lie side by side,
// none over another and none cut below its least size; the main window
// keeps its size on its screen, and what does not fit into the area is
// reached by scrolling. Minimize All afterwards leaves the icons in view.
#include "DocumentWindowsTest.h"

#include <QScreen>
#include <QScrollBar>

namespace {

class Arrange : public DocumentWindowsFixture {
protected:
    // A new main window with the first `count` kinds of document window open.
    void StartWith(size_t count) {
        Main.reset();
        StartMain();
        const auto openers = Openers();
        for (size_t i = 0; i < count; ++i) {
            openers[i].open();
            Process();
        }
    }
};

}  // namespace

TEST_F(Arrange, TheMainWindowStaysOnItsScreen) {
    for (const size_t count : {2, 3, 6}) {
        SCOPED_TRACE(std::to_string(count) + " windows");
        StartWith(count);
        const QList<TMDICustomChild*> windows = Main->DocumentWindows();
        ASSERT_EQ(windows.size(), static_cast<qsizetype>(count));
        const QRect screen = Main->screen()->availableGeometry();
        const QSize before = Main->size();

        Main->actWindowArrange->trigger();
        Process();
        EXPECT_EQ(Main->size(), before);
        EXPECT_TRUE(screen.contains(Main->frameGeometry()));
        const QSize least = Main->minimumSizeHint();
        EXPECT_LE(least.width(), screen.width());
        EXPECT_LE(least.height(), screen.height());
        QRect all;
        for (TMDICustomChild* w : windows) {
            SCOPED_TRACE(w->windowTitle().toStdString());
            EXPECT_GE(w->width(), w->minimumSizeHint().width());
            EXPECT_GE(w->height(), w->minimumSizeHint().height());
            EXPECT_GE(w->x(), 0);
            EXPECT_GE(w->y(), 0);
            for (TMDICustomChild* other : windows)
                if (other != w) {
                    EXPECT_FALSE(w->geometry().intersects(other->geometry())) << other->windowTitle().toStdString();
                }
            all |= w->geometry();
        }
        // The scroll bars reach every window.
        const QRect view = Main->ClientArea->viewport()->rect();
        EXPECT_LE(all.right(), view.right() + Main->ClientArea->horizontalScrollBar()->maximum());
        EXPECT_LE(all.bottom(), view.bottom() + Main->ClientArea->verticalScrollBar()->maximum());

        Main->actWindowMinimizeAll->trigger();
        Process();
        EXPECT_EQ(Main->size(), before);
        const QRect shownView = Main->ClientArea->viewport()->rect();
        for (TMDICustomChild* w : windows) {
            EXPECT_TRUE(w->isMinimized());
            EXPECT_TRUE(shownView.contains(w->geometry())) << w->windowTitle().toStdString();
        }
        ASSERT_FALSE(HasFatalFailure());
    }
}

// Every command of the Window menu keeps the main window's size, whatever the
// least sizes of six windows, shown or minimized.
TEST_F(Arrange, NoWindowCommandGrowsTheMainWindow) {
    StartWith(6);
    ASSERT_EQ(Main->DocumentWindows().size(), 6);
    const QRect screen = Main->screen()->availableGeometry();
    const QSize before = Main->size();
    for (QAction* command : {Main->actWindowCascade, Main->actWindowTileHorizontal, Main->actWindowTileVertical,
                             Main->actWindowArrange, Main->actWindowMinimizeAll, Main->actWindowArrange,
                             Main->actWindowCascade}) {
        SCOPED_TRACE(command->text().toStdString());
        command->trigger();
        Process();
        EXPECT_EQ(Main->size(), before);
        EXPECT_TRUE(screen.contains(Main->frameGeometry()));
    }
}
