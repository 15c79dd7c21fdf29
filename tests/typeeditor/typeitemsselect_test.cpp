// The type items dialog: its entries for a type, what OK and Cancel write
// back, and its layout with texts twice as long.
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "../frame/FrameTest.h"
#include "../support/gui/LayoutCheck.h"
#include "Appinterface.h"
#include "TypeItemsSelect.h"
#include "TypeSamples.h"

namespace {

using Strings = std::vector<std::string>;
using Flags = std::vector<uint8_t>;

class TypeItems : public FrameFixture {
protected:
    std::unique_ptr<_AppInterface> App;
    uint8_t Formats[100] = {};
    std::unique_ptr<TTypeObjectData> Type;

    void SetUp() override {
        FrameFixture::SetUp();
        App = std::make_unique<_AppInterface>();
        // Two languages; two tables, the second named Pumps.
        Type = std::make_unique<TTypeObjectData>(Formats);
        FillSampleType(*Type);
        Type->GetTable(0)->SetName("");
        Type->GetTable(1)->SetName("Pumps");
    }
    void TearDown() override {
        TDialogAnswers::Clear<TfrmTypeObjectItemsSelect>();
        Type.reset();
        App.reset();
        FrameFixture::TearDown();
    }
    static Strings Entries(const QListWidget* list) {
        Strings texts;
        for (int i = 0; i < list->count(); ++i) texts.push_back(list->item(i)->text().toStdString());
        return texts;
    }
    static Flags Ticks(const QListWidget* list) {
        Flags ticks;
        for (int i = 0; i < list->count(); ++i) ticks.push_back(list->item(i)->checkState() == Qt::Checked);
        return ticks;
    }
    static void Tick(QListWidget* list, const Flags& ticks) {
        for (int i = 0; i < list->count(); ++i) list->item(i)->setCheckState(ticks.at(size_t(i)) ? Qt::Checked : Qt::Unchecked);
    }
};

TEST_F(TypeItems, NewChoiceSelectsEverythingAndTheDialogShowsIt) {
    _TypeObjectItems items(*Type);
    EXPECT_EQ(items.languages, (Flags{1, 1}));
    EXPECT_EQ(items.tables, (Flags{1, 1}));
    EXPECT_EQ(items.parameters, 1);
    EXPECT_EQ(items.configuration, 1);
    _TypeObjectItems none;
    EXPECT_TRUE(none.languages.empty());
    EXPECT_TRUE(none.tables.empty());
    EXPECT_EQ(none.parameters + none.configuration, 2);

    TfrmTypeObjectItemsSelect dialog(App.get(), *Type, &items);
    EXPECT_EQ(dialog.windowTitle(), "Type Items");
    EXPECT_EQ(dialog.lblLangIdx->text(), "&Language:");
    EXPECT_EQ(dialog.lblItems->text(), "&Items:");
    EXPECT_EQ(Entries(dialog.chkListBox1), (Strings{"Language 1 (English)", "Language 2 (Deutsch)"}));
    EXPECT_EQ(Entries(dialog.CheckListBox), (Strings{"Parameters", "Configuration", "Table1", "Table2 (Pumps)"}));
    EXPECT_EQ(Ticks(dialog.chkListBox1), (Flags{1, 1}));
    EXPECT_EQ(Ticks(dialog.CheckListBox), (Flags{1, 1, 1, 1}));
    EXPECT_TRUE(dialog.chkListBox1->isEnabled());
    EXPECT_TRUE(dialog.btnOk->isDefault());
}

TEST_F(TypeItems, OkWritesTheTicksBackAndCancelKeepsThem) {
    const struct {
        const char* what;
        Flags languages, items;  // ticks given in the dialog
        bool ok;
        Flags wantLanguages, wantTables;
        uint8_t wantParameters, wantConfiguration;
    } cases[] = {
        {"nothing ticked", {0, 0}, {0, 0, 0, 0}, true, {0, 0}, {0, 0}, 0, 0},
        {"some ticked", {0, 1}, {1, 0, 0, 1}, true, {0, 1}, {0, 1}, 1, 0},
        {"cancel", {0, 0}, {0, 0, 0, 0}, false, {1, 0}, {0, 1}, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        _TypeObjectItems items(*Type);
        items.languages = {1, 0};
        items.tables = {0, 1};
        items.configuration = 0;
        Flags shown;
        TDialogAnswers::Set<TfrmTypeObjectItemsSelect>([&](TfrmTypeObjectItemsSelect& d) {
            shown = Ticks(d.CheckListBox);
            Tick(d.chkListBox1, c.languages);
            Tick(d.CheckListBox, c.items);
            (c.ok ? d.btnOk : d.btnCancel)->click();
            return d.result();
        });
        EXPECT_EQ(TfrmTypeObjectItemsSelect::Execute(App.get(), *Type, &items), c.ok ? 1 : 2);
        // The dialog opens with the record's ticks.
        EXPECT_EQ(shown, (Flags{1, 0, 0, 1}));
        EXPECT_EQ(items.languages, c.wantLanguages);
        EXPECT_EQ(items.tables, c.wantTables);
        EXPECT_EQ(items.parameters, c.wantParameters);
        EXPECT_EQ(items.configuration, c.wantConfiguration);
    }
    // Closing the window counts as Cancel.
    _TypeObjectItems items(*Type);
    TDialogAnswers::Set<TfrmTypeObjectItemsSelect>([](TfrmTypeObjectItemsSelect& d) {
        Tick(d.CheckListBox, {0, 0, 0, 0});
        d.reject();
        return d.result();
    });
    EXPECT_EQ(TfrmTypeObjectItemsSelect::Execute(App.get(), *Type, &items), 2);
    EXPECT_EQ(items.tables, (Flags{1, 1}));
}

TEST_F(TypeItems, TypeWithoutLanguagesOrTables) {
    uint8_t formats[100] = {};
    TTypeObjectData bare(formats);
    bare.GetTypeData().SetLanguageCount(0);
    _TypeObjectItems items(bare);
    TfrmTypeObjectItemsSelect dialog(App.get(), bare, &items);
    EXPECT_EQ(dialog.chkListBox1->count(), 0);
    EXPECT_FALSE(dialog.chkListBox1->isEnabled());
    EXPECT_EQ(Entries(dialog.CheckListBox), (Strings{"Parameters", "Configuration"}));
    dialog.btnOk->click();
    EXPECT_EQ(dialog.result(), 1);
}

TEST_F(TypeItems, ChoiceMadeForASmallerTypeIsNotWrittenPastItsEnd) {
    // A record of one language and no table shown with a type of two of each:
    // only the flags it holds are written.
    _TypeObjectItems items;
    items.languages = {1};
    TfrmTypeObjectItemsSelect dialog(App.get(), *Type, &items);
    EXPECT_EQ(Ticks(dialog.CheckListBox), (Flags{1, 1, 0, 0}));
    Tick(dialog.chkListBox1, {0, 0});
    dialog.btnOk->click();
    EXPECT_EQ(items.languages, (Flags{0}));
    EXPECT_TRUE(items.tables.empty());
}

TEST_F(TypeItems, LayoutShowsEveryText) {
    {
        _TypeObjectItems items(*Type);
        TfrmTypeObjectItemsSelect english(App.get(), *Type, &items);
        EXPECT_EQ(LayoutProblems(&english), std::vector<std::string>{});
        WriteFileBytes(ProgramDir / "QX318Utility.mls", LongTextsLanguageFile({&english}));
    }
    App = std::make_unique<_AppInterface>();
    App->Mls->SetLanguage(0);
    _TypeObjectItems items(*Type);
    TfrmTypeObjectItemsSelect dialog(App.get(), *Type, &items);
    ASSERT_EQ(dialog.lblItems->text(), "&Items:Items:");
    EXPECT_EQ(Entries(dialog.CheckListBox)[0], "ParametersParameters");
    EXPECT_EQ(LayoutProblems(&dialog), std::vector<std::string>{});
}

}  // namespace
