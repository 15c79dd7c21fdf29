// The manager windows show every text whole: in English, in a language whose
// texts are twice as long, and in a bigger font.
#include "../support/gui/LayoutCheck.h"
#include "ManagersTest.h"

#include "Convert.h"
#include "GamesManager.h"
#include "MemView.h"
#include "MemoryManager.h"
#include "ProgramManager.h"
#include "ShortcutEdit.h"

#include <QTabWidget>
#include <QToolBar>

namespace {

using Problems = std::vector<std::string>;

class Layouts : public ManagersFixture {
protected:
    QFont Font;
    void SetUp() override {
        ManagersFixture::SetUp();
        Font = QApplication::font();
    }
    void TearDown() override {
        QApplication::setFont(Font);
        ManagersFixture::TearDown();
    }
    // A record whose language is "Long": every text of the three windows and
    // every message twice as long as in English.
    void UseLongTexts() {
        {
            TfrmMemView view(App.get());
            TfrmGamesManager games(App.get());
            TfrmConvert convert(App.get());
            TfrmManager memory(App.get());
            TfrmProgramManager programs(App.get());
            WriteFileBytes(ProgramDir / "QX318Utility.mls",
                           LongTextsLanguageFile({&view, &games, &convert, &memory, &programs}));
        }
        App.reset();
        App = std::make_unique<_AppInterface>();
        App->Mls->SetLanguage(0);
    }
    // What a window shows when its tool bar's buttons all stand in it.
    static Problems Check(TManagerChild* window, QToolBar* bar) {
        if (bar) window->resize(std::max(window->width(), bar->sizeHint().width() + 20), window->height());
        Problems found = LayoutProblems(window);
        // The "not connected" panels lie over the dump and the tree on purpose.
        std::erase_if(found, [](const std::string& p) {
            return (p.find("out overlaps") != std::string::npos && p.find("/Panel1") != std::string::npos) ||
                   (p.find("DataTree overlaps") != std::string::npos && p.find("/pnlConnectInfo") != std::string::npos);
        });
        return found;
    }
};

}  // namespace

TEST_F(Layouts, EveryTextShowsWhole) {
    const struct {
        const char* what;
        bool longTexts;
        int pointSize;
    } cases[] = {{"English", false, 0}, {"twice as long", true, 0}, {"bigger font", false, 14}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QApplication::setFont(Font);
        if (c.longTexts) UseLongTexts();
        if (c.pointSize) {
            QFont big = Font;
            big.setPointSize(c.pointSize);
            QApplication::setFont(big);
        }
        {
            TfrmMemView w(App.get());
            if (c.longTexts) {
                ASSERT_EQ(w.Label2->text(), "Input new address (hex):Input new address (hex):");
            }
            w.actGotoPage->trigger();
            EXPECT_EQ(Check(&w, w.ToolBar), Problems{});
        }
        {
            TfrmGamesManager w(App.get());
            EXPECT_EQ(Check(&w, w.toolbarGamesManager), Problems{});
        }
        {
            TfrmManager w(App.get());
            EXPECT_EQ(Check(&w, w.toolbarMemoryManager), Problems{});
        }
        {
            TfrmProgramManager w(App.get());
            EXPECT_EQ(Check(&w, w.toolbarProgramManager), Problems{});
        }
        {
            TfrmShortcutEdit w(nullptr, "Shortcut 1 edit.", "/a/rather/long/folder/name/program.S", App.get());
            w.adjustSize();
            EXPECT_EQ(LayoutProblems(&w), Problems{});
        }
        {
            TfrmConvert w(App.get());
            if (c.longTexts) {
                ASSERT_EQ(w.PageControl1->tabText(1), "OptionsOptions");
            }
            EXPECT_EQ(Check(&w, nullptr), Problems{});
        }
    }
}
