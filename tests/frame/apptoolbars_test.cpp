#include <QMainWindow>

#include "AppToolBars.h"
#include "FrameTest.h"
#include "Thdrobj.h"

namespace {

class ToolBars : public FrameFixture {
protected:
    QMainWindow* Frame = nullptr;
    QAction *New = nullptr, *Open = nullptr, *Save = nullptr;
    std::vector<QToolBar*> Bars;
    TAppToolBars Slots;

    void SetUp() override {
        FrameFixture::SetUp();
        Frame = new QMainWindow;
        New = new QAction("&New", Frame);
        Open = new QAction("&Open", Frame);
        Save = new QAction("&Save", Frame);
        for (int i = 0; i < TAppToolBars::SlotCount; ++i) {
            auto* bar = new QToolBar(QString("bar%1").arg(i), Frame);
            bar->setObjectName(QString("bar%1").arg(i));
            Frame->addToolBar(Qt::TopToolBarArea, bar);
            Bars.push_back(bar);
        }
        Bars[0]->addActions({New, Open, Save});
        Slots.DockSites[0] = {Frame, Qt::TopToolBarArea};
        for (int i = 0; i < TAppToolBars::SlotCount; ++i) Slots.Slots[i].Bind(Bars[i]);
    }
    void TearDown() override {
        for (auto& s : Slots.Slots) s.Bind(nullptr);
        delete Frame;
        FrameFixture::TearDown();
    }
};

}  // namespace

TEST_F(ToolBars, DefaultStatesAndTheirSection) {
    TAppToolBars fresh;
    const int expected[8][2] = {{0, 0}, {0, 20}, {100, 20}, {100, 0}, {200, 0}, {300, 0}, {250, 20}, {0, 40}};
    for (int i = 0; i < 8; ++i) {
        const TToolBarState& s = fresh.Slots[i].State;
        EXPECT_EQ(s.Visible, 1);
        EXPECT_EQ(s.Floating, 0);
        EXPECT_EQ(s.Left, expected[i][0]);
        EXPECT_EQ(s.Top, expected[i][1]);
        EXPECT_EQ(s.Right, 100);
        EXPECT_EQ(s.Bottom, 100);
        EXPECT_EQ(s.DockSite, 0);
    }
    uint8_t bytes[22];
    TToolBarState{0, 1, -2, 3, 0x0104, 5, -1}.Write(bytes);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 22),
              HexBytes("00 01 FEFFFFFF 03000000 04010000 05000000 FFFFFFFF"));

    const std::string path = (Root / "bars.cfg").string();
    THdrFile file;
    ASSERT_TRUE(file.Create(path, "QX318 APP"));
    ASSERT_TRUE(file.WriteSection(0x1017, 0, 175, std::string(175, '\x07').data()));
    EXPECT_FALSE(fresh.LoadFrom(file));
    EXPECT_EQ(fresh.Slots[0].State.Visible, 1);
    fresh.Slots[3].State.Top = 77;
    ASSERT_TRUE(fresh.SaveTo(file));
    TAppToolBars loaded;
    ASSERT_TRUE(loaded.LoadFrom(file));
    EXPECT_EQ(loaded.Slots[3].State.Top, 77);
}

TEST_F(ToolBars, BackupButtonsComeBack) {
    EXPECT_EQ(Slots.Slots[0].GetButton(2), Save);
    EXPECT_EQ(Slots.Slots[0].GetButton(99), nullptr);
    EXPECT_EQ(Slots.Slots[0].GetButton(-1), nullptr);
    TAppToolBar unbound;
    EXPECT_EQ(unbound.GetButton(0), nullptr);
    unbound.RestoreDefaultButtons();  // nothing bound: nothing happens

    ASSERT_TRUE(Slots.Slots[0].GetBackup());
    EXPECT_TRUE(Slots.Slots[0].GetBackup()->isHidden());
    QToolBar own;
    QAction a("Window A"), b("Window B");
    own.addActions({&a, &b});
    Slots.Slots[0].CopyButtonsFrom(&own);
    EXPECT_EQ(Bars[0]->actions(), (QList<QAction*>{&a, &b}));
    Slots.Slots[0].RestoreDefaultButtons();
    EXPECT_EQ(Bars[0]->actions(), (QList<QAction*>{New, Open, Save}));
    {
        // A document window's actions vanish from the bar with the window.
        QAction gone("gone");
        QToolBar other;
        other.addAction(&gone);
        Slots.Slots[0].CopyButtonsFrom(&other);
    }
    EXPECT_TRUE(Bars[0]->actions().isEmpty());
    Slots.Slots[0].RestoreDefaultButtons();
    EXPECT_EQ(Bars[0]->actions().size(), 3);
}

TEST_F(ToolBars, SavedLayoutIsRestored) {
    Frame->resize(600, 400);
    Frame->show();
    Frame->addToolBar(Qt::LeftToolBarArea, Bars[4]);
    Bars[5]->hide();
    QApplication::processEvents();
    Slots.SaveAll();
    EXPECT_EQ(Slots.Slots[4].State.DockSite, -1);  // the left area is no registered site
    EXPECT_EQ(Slots.Slots[5].State.Visible, 0);
    EXPECT_EQ(Slots.Slots[0].State.DockSite, 0);
    EXPECT_EQ(Slots.Slots[0].State.Right, 100);

    // A floating bar at a screen rectangle.
    Slots.Slots[2].State = {1, 1, 50, 60, 150, 90, -1};
    Slots.Slots[6].State = {1, 0, 0, 26, 100, 100, 0};  // second row
    Slots.Slots[5].State.Visible = 0;
    Slots.RestoreAll();
    QApplication::processEvents();
    EXPECT_TRUE(Bars[2]->isFloating());
    EXPECT_EQ(Bars[2]->frameGeometry().topLeft(), QPoint(50, 60));
    EXPECT_TRUE(Bars[5]->isHidden());
    EXPECT_EQ(Frame->toolBarArea(Bars[4]), Qt::TopToolBarArea);  // no site: the top area
    EXPECT_TRUE(Frame->toolBarBreak(Bars[6]));
    Slots.SaveAll();
    EXPECT_EQ(Slots.Slots[2].State.Floating, 1);
    EXPECT_EQ(Slots.Slots[2].State.Left, 50);
    EXPECT_EQ(Slots.Slots[2].State.Top, 60);
    EXPECT_EQ(Slots.Slots[2].State.DockSite, -1);
    EXPECT_GE(Slots.Slots[6].State.Top, DockRowSize);
}

TEST_F(ToolBars, DockingSizesFromButtons) {
    Frame->show();
    QApplication::processEvents();
    const QSize h = TAppToolBars::SizeFromButtons(Bars[0], false);
    const QSize v = TAppToolBars::SizeFromButtons(Bars[0], true);
    EXPECT_GT(h.width(), h.height());
    EXPECT_GT(v.height(), v.width());
    QSize outline;
    Slots.DockOver(Bars[0], Qt::LeftToolBarArea, outline);
    EXPECT_EQ(outline, v);
    Slots.DockDrop(Bars[0], Qt::LeftToolBarArea);
    EXPECT_EQ(Bars[0]->orientation(), Qt::Vertical);
    Slots.UnDock(Bars[0]);
    EXPECT_EQ(Bars[0]->orientation(), Qt::Horizontal);
    QToolBar stranger;
    Slots.DockDrop(&stranger, Qt::LeftToolBarArea);  // not bound: ignored
    EXPECT_EQ(stranger.orientation(), Qt::Horizontal);
}
