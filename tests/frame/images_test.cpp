#include <QImage>
#include <QToolBar>
#include <QToolButton>
#include <set>
#include <string>
#include <vector>

#include "FrameTest.h"
#include "Images.h"
#include "Main.h"

namespace {

using K = TImageList::TKind;

// The picture at a size as the widgets ask for it, or a null image.
QImage Rendered(const QIcon& icon, int size = 16, QIcon::Mode mode = QIcon::Normal) {
    if (icon.isNull()) return QImage();
    return icon.pixmap(QSize(size, size), 1.0, mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

int VisiblePixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += qAlpha(image.pixel(x, y)) > 0;
    return n;
}

// A picture a user can see: the size asked for, and not blank.
::testing::AssertionResult Shows(const QIcon& icon, int size = 16) {
    const QImage image = Rendered(icon, size);
    if (image.isNull()) return ::testing::AssertionFailure() << "no picture";
    if (image.size() != QSize(size, size))
        return ::testing::AssertionFailure() << image.width() << "x" << image.height();
    const int visible = VisiblePixels(image);
    if (visible < size) return ::testing::AssertionFailure() << "nearly blank: " << visible << " pixels";
    return ::testing::AssertionSuccess();
}

struct TUse {
    const char* Who;
    K Kind;
    std::vector<int> Indexes;
};

// Every image index a window gives an action, button, menu item or tree node.
const std::vector<TUse>& WindowUses() {
    static const std::vector<TUse> uses = {
        {"type window File items (Save, Print)", K::Actions, {2, 3}},
        {"type structure commands", K::Actions, {39, 40, 41, 66, 67, 4, 5, 6, 7, 8, 9, 11, 12, 13, 38, 35, 36, 37}},
        {"type download and upload", K::Actions, {63, 64}},
        {"type tree nodes", K::TypeTree, {0, 1, 2, 3, 4, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21}},
        {"memory manager actions", K::Actions, {32, 64, 65}},
        {"memory manager block tree", K::Manager, {0, 10, 11, 1, 2}},
        {"program manager actions", K::Actions, {16, 63, 65}},
        {"program manager shortcut slots, filled and empty", K::Actions, {19, 20, 21, 22, 23, 24, 25, 26}},
        {"memory viewer", K::Actions, {16, 46, 44, 45, 47}},
        {"applications", K::Actions, {16, 63, 65}},
        {"menu editor actions", K::Actions, {32, 0, 35, 36, 37, 38, 52, 53, 54, 55, 15, 11, 12, 13, 58, 63}},
        {"menu editor Save item", K::Actions, {2}},
        {"menu editor tree nodes", K::Actions, {51}},
        {"menu editor state images (visible, hidden)", K::MenuStates, {1, 2}},
    };
    return uses;
}

// Pictures that stand side by side on one tool bar, in one menu or one tree:
// a user must be able to tell each from the others.
const std::vector<TUse>& SideBySide() {
    static const std::vector<TUse> groups = {
        {"type window, table tool bar", K::Actions, {63, 64, 39, 40, 41, 4, 5, 6, 7, 8, 9}},
        {"type window, type tool bar", K::Actions, {63, 64, 39, 11, 12, 13, 35, 36, 37, 38}},
        {"type window, table popup copy and paste", K::Actions, {66, 67, 39, 40, 41, 4, 5, 6}},
        {"program manager tool bar, all slots filled", K::Actions, {16, 63, 65, 19, 20, 21, 22}},
        {"program manager tool bar, all slots empty", K::Actions, {16, 63, 65, 23, 24, 25, 26}},
        {"one slot filled or empty", K::Actions, {19, 23}},
        {"memory viewer tool bar", K::Actions, {16, 46, 44, 45, 47}},
        {"memory manager tool bar", K::Actions, {32, 64, 65}},
        {"menu editor tool bar",
         K::Actions,
         {32, 0, 35, 36, 37, 38, 52, 53, 54, 55, 15, 11, 12, 13, 58, 63}},
        {"memory manager block tree", K::Manager, {0, 1, 2, 10, 11}},
        {"type tree: root, parameters, table, field", K::TypeTree, {0, 1, 8, 16}},
        {"type tree: a field's children", K::TypeTree, {17, 19, 18, 21}},
        {"menu editor states", K::MenuStates, {1, 2}},
    };
    return groups;
}

class Images : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        SetUpIconTheme();
    }
};

TEST_F(Images, EveryIndexAWindowUsesShowsAPicture) {
    for (const TUse& use : WindowUses()) {
        const TImageList list(use.Kind);
        for (int index : use.Indexes) {
            SCOPED_TRACE(std::string(use.Who) + ", index " + std::to_string(index));
            EXPECT_TRUE(list.Has(index));
            EXPECT_TRUE(Shows(list.Icon(index)));
        }
    }
}

TEST_F(Images, EveryPictureOfEveryListLoadsAtMenuAndLargeSizes) {
    // Our own pictures and the theme's alike; 32 pixels is what a doubled
    // screen scale asks for.
    for (K kind : {K::Actions, K::Manager, K::TypeTree, K::MenuStates}) {
        const TImageList list(kind);
        ASSERT_FALSE(list.Entries().empty());
        for (const TImageList::TEntry& e : list.Entries()) {
            SCOPED_TRACE(std::string(e.Icon) + " for " + e.Shows);
            EXPECT_TRUE(Shows(list.Icon(e.Index)));
            EXPECT_TRUE(Shows(list.Icon(e.Index), 32));
        }
    }
}

TEST_F(Images, EachIndexHasOnePicture) {
    // A second entry for an index could never be shown.
    for (K kind : {K::Actions, K::Manager, K::TypeTree, K::MenuStates}) {
        const auto entries = TImageList(kind).Entries();
        for (size_t i = 1; i < entries.size(); ++i)
            EXPECT_LT(entries[i - 1].Index, entries[i].Index) << entries[i].Shows;
    }
    std::set<std::string> actions;
    for (const TActionIcon& a : MainActionIcons()) EXPECT_TRUE(actions.insert(a.Action).second) << a.Action;
}

TEST_F(Images, IndexesNotHeldGiveNoPicture) {
    const struct {
        K Kind;
        int Index;
    } cases[] = {{K::Actions, -1}, {K::Actions, 1}, {K::Actions, 68}, {K::Manager, 3},
                 {K::Manager, 4},  {K::TypeTree, 5}, {K::TypeTree, 22}, {K::MenuStates, 0}};
    for (const auto& c : cases) {
        const TImageList list(c.Kind);
        EXPECT_FALSE(list.Has(c.Index)) << c.Index;
        EXPECT_TRUE(list.Icon(c.Index).isNull()) << c.Index;
    }
}

TEST_F(Images, PicturesSideBySideDiffer) {
    for (const TUse& group : SideBySide()) {
        const TImageList list(group.Kind);
        for (size_t i = 0; i < group.Indexes.size(); ++i)
            for (size_t j = i + 1; j < group.Indexes.size(); ++j) {
                const int a = group.Indexes[i], b = group.Indexes[j];
                EXPECT_NE(Rendered(list.Icon(a)), Rendered(list.Icon(b)))
                    << group.Who << ": " << a << " and " << b << " look the same";
            }
    }
}

TEST_F(Images, DisabledCommandsLookDisabledWithTheirBadge) {
    // A badged picture (Delete Table) and a plain one (Delete) both grey out
    // when their action is disabled.
    const TImageList list(K::Actions);
    for (int index : {41, 65}) {
        const QIcon icon = list.Icon(index);
        EXPECT_NE(Rendered(icon, 16, QIcon::Normal), Rendered(icon, 16, QIcon::Disabled)) << index;
    }
}

TEST_F(Images, MissingPicturesAreNullNotBlank) {
    // A picture that is not there must show as missing, so that a lost
    // resource or an uninstalled theme is noticed.
    EXPECT_TRUE(LoadIcon(":/qx/no-such-picture.svg").isNull());
    EXPECT_TRUE(LoadIcon("qx-no-such-theme-icon").isNull());
    EXPECT_TRUE(LoadIcon("qx-no-such-theme-icon", TImageList::TBadge::Add).isNull());
}

class MainWindowImages : public FrameFixture {};

TEST_F(MainWindowImages, DefaultToolBarButtonsShowIconsWithTheirTextAsTip) {
    TfrmQX318MainForm w;
    for (QToolBar* bar : w.DefaultToolBars()) {
        ASSERT_FALSE(bar->actions().isEmpty());
        for (QAction* a : bar->actions()) {
            SCOPED_TRACE(a->objectName().toStdString());
            EXPECT_TRUE(Shows(a->icon()));
            auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(a));
            ASSERT_TRUE(button);
            EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
            // The button shows no text; its caption is the tip.
            EXPECT_EQ(button->toolTip(), QString(a->text()).remove('&'));
        }
    }
}

TEST_F(MainWindowImages, MenuCommandsShowTheirPictures) {
    TfrmQX318MainForm w;
    for (const char* name : {"actNew", "actOpen", "actImport", "actMemoryManager", "actProgramManager", "actMemView",
                             "actMenuManager", "actGamesManager", "actConvert", "actFirmware", "actConfig",
                             "mnuQX318UtilityHelp", "mnuAbout", "mnuExit"}) {
        auto* a = w.findChild<QAction*>(name);
        ASSERT_TRUE(a) << name;
        EXPECT_TRUE(Shows(a->icon())) << name;
    }
    EXPECT_TRUE(Shows(w.mnuOpenRecent->icon()));
    // Every picture of the main window's table loads.
    for (const TActionIcon& a : MainActionIcons()) EXPECT_TRUE(Shows(MainActionIcon(a.Action))) << a.Action;
}

}  // namespace
