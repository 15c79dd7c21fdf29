// The menu window and the synchronisation dialog show every text whole: in
// English, in a language whose texts are twice as long, and in a bigger font.
#include "../support/gui/LayoutCheck.h"
#include "MenuTest.h"
#include "QXMenuSync.h"

#include <QSplitter>
#include <QTabWidget>

namespace {

using Problems = std::vector<std::string>;

class MenuLayouts : public MenuFixture {
protected:
    QFont Font;
    void SetUp() override {
        MenuFixture::SetUp();
        Font = QApplication::font();
    }
    void TearDown() override {
        QApplication::setFont(Font);
        MenuFixture::TearDown();
    }
    // The main window's texts in "Long": every text of the two windows and
    // every message twice as long as in English.
    void UseLongTexts() {
        TfrmQXMenu* english = Open();
        TfrmQXMenuSync dialog(&MainWindow().App, english->EditedMenu.get(), english);
        const fs::path file = ProgramDir / "QX318Utility.mls";
        WriteFileBytes(file, LongTextsLanguageFile({english, &dialog}));
        english->close();
        MainWindow().App.Mls = std::make_unique<TMLSUnit>(BuiltInMessages, file.string());
        MainWindow().App.Mls->SetLanguage(0);
    }
};

}  // namespace

TEST_F(MenuLayouts, EveryTextShows) {
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
        Main.reset();
        if (c.longTexts) UseLongTexts();
        if (c.pointSize) {
            QFont big = Font;
            big.setPointSize(c.pointSize);
            QApplication::setFont(big);
        }
        MainWindow().show();
        TfrmQXMenu* w = Open((ProgramDir / "DefaultMenu.mnu").string());
        if (c.longTexts) {
            ASSERT_EQ(w->PageControl->tabText(0), "&Menu ItemsMenu Items");
        }
        for (int page : {0, 1}) {
            w->PageControl->setCurrentIndex(page);
            EXPECT_EQ(LayoutProblems(w), Problems{}) << "page " << page;
        }
        TfrmQXMenuSync dialog(&MainWindow().App, w->EditedMenu.get(), w);
        EXPECT_EQ(LayoutProblems(&dialog), Problems{});
        EXPECT_GE(dialog.width(), 351);
        EXPECT_GE(dialog.height(), 245);
        if (!c.longTexts && !c.pointSize) {
            EXPECT_EQ(dialog.size(), QSize(351, 245));
        }
        dialog.hide();
    }
}
