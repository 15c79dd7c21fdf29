// The dialog that lists the elements of a CSV file before an import: the
// entries for files with a type and tables, with tables only, with damaged
// type rows or a damaged table block, the tick rule of OK and what OK and
// Cancel hand back.
#include <QListWidget>
#include <QPushButton>

#include "../frame/FrameTest.h"
#include "../support/gui/LayoutCheck.h"
#include "CSVFile.h"
#include "CsvElementsSelect.h"
#include "TypeSamples.h"

namespace {

const std::string TypeRows = CrLfLines({
    "QX318Utility_Exported;;;;;",
    "Anzahl_Config-Switches;16;;;;",
    "Ident-String;PUMP;;;;",
    "\xA7Sprachen;;;;;x",
    "Bezeichner;Wert;Einheit;Min ;Max;English",
    "\xA7Parameter;;;;;",
    "P1;100;rpm;10;3000;Speed",
});
const std::string SpeedsBlock = CrLfLines({
    "\xA7Table", "\xA7TableInfo", "Name;Speeds", "Function;1", "Block;2", "Cfg;3", "Level;4",
    "\xA7TableFields", "Step;1;;0", "Temp;2;C;1", "\xA7TableData", "7;-5", "255;300",
});
const std::string UnnamedBlock = CrLfLines({"\xA7Table", "\xA7TableInfo", "Name;", "\xA7TableFields", "\xA7TableData"});
const std::string LimitsBlock = CrLfLines({
    "\xA7Table", "\xA7TableInfo", "Name;Limits", "\xA7TableFields", "Max;2;;0", "\xA7TableData", "0x10", "$20",
});
// A cell that is no number.
const std::string DamagedBlock = CrLfLines({
    "\xA7Table", "\xA7TableInfo", "Name;Broken", "\xA7TableFields", "A;1;;0", "\xA7TableData", "1", "12x",
});

struct Entry {
    std::string Text;
    bool Ticked;
    bool Enabled;
    bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& e, std::ostream* os) { *os << '"' << e.Text << '"' << (e.Ticked ? " ticked" : "") << (e.Enabled ? "" : " disabled"); }

std::vector<Entry> Entries(const TfrmCsvElementsSelect& d) {
    std::vector<Entry> list;
    for (int i = 0; i < d.chklistboxElements->count(); ++i) {
        const QListWidgetItem* item = d.chklistboxElements->item(i);
        list.push_back({item->text().toStdString(), item->checkState() == Qt::Checked,
                        (item->flags() & Qt::ItemIsEnabled) != 0});
    }
    return list;
}

class CsvElementsSelect : public FrameFixture {
protected:
    std::string File(const std::string& bytes) {
        const fs::path path = Root / "in.csv";
        WriteFileBytes(path, bytes);
        return path.string();
    }
    void TearDown() override {
        TDialogAnswers::Clear<TfrmCsvElementsSelect>();
        FrameFixture::TearDown();
    }
};

const Entry Parameters{"Parameters/Configuration", true, true};
const Entry NoParameters{"Parameters/Configuration", false, false};
const Entry DamagedParameters{"Parameters/Configuration", false, true};

}  // namespace

TEST_F(CsvElementsSelect, ListsWhatTheFileHolds) {
    const std::string damagedType = CrLfLines({
        "Ident-String;PUMP;;;;", "\xA7Parameter;;;;;", "P1;12a;rpm;10;3000;Speed", "P2;1;;0;9;Mode"});
    const struct {
        const char* Case;
        std::string Bytes;
        std::vector<Entry> Expected;
        bool OkEnabled;
    } cases[] = {
        {"type and tables", TypeRows + SpeedsBlock + UnnamedBlock + LimitsBlock,
         {Parameters, {"Table: Speeds", true, true}, {"Table: ", true, true}, {"Table: Limits", true, true}},
         true},
        {"tables only", SpeedsBlock + LimitsBlock,
         {NoParameters, {"Table: Speeds", true, true}, {"Table: Limits", true, true}}, true},
        {"a type without tables", TypeRows, {Parameters}, true},
        {"a damaged table block ends the list", TypeRows + SpeedsBlock + DamagedBlock + LimitsBlock,
         {Parameters, {"Table: Speeds", true, true}}, true},
        {"damaged type rows are offered unticked", damagedType + LimitsBlock,
         {DamagedParameters, {"Table: Limits", true, true}}, true},
        {"a file of something else", CrLfLines({"a;b;c", "1;2;3"}), {NoParameters}, false},
        {"an empty file", "", {NoParameters}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Case);
        CSVFile file(File(c.Bytes), false);
        ASSERT_TRUE(file.IsOpen());
        uint8_t parameters = 7;
        std::vector<uint8_t> tables{9};
        int32_t count = 5;
        TfrmCsvElementsSelect dialog(nullptr, file, &parameters, &tables, &count);
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Select Elements");
        EXPECT_EQ(dialog.lblElementsSelect->text().toStdString(), "Select elements to import");
        EXPECT_EQ(Entries(dialog), c.Expected);
        EXPECT_EQ(dialog.btnOk->isEnabled(), c.OkEnabled);
        // Until OK, nothing is chosen.
        EXPECT_EQ(parameters, 0);
        EXPECT_TRUE(tables.empty());
        EXPECT_EQ(count, 0);
    }
}

TEST_F(CsvElementsSelect, OkHandsBackOneFlagPerTableBlock) {
    CSVFile file(File(TypeRows + SpeedsBlock + UnnamedBlock + LimitsBlock), false);
    const struct {
        const char* Case;
        std::vector<int> Untick;
        uint8_t Parameters;
        std::vector<uint8_t> Tables;
    } cases[] = {
        {"everything", {}, 1, {1, 1, 1}},
        {"without the parameters", {0}, 0, {1, 1, 1}},
        {"without the middle table", {2}, 1, {1, 0, 1}},
        {"only the last table", {0, 1, 2}, 0, {0, 0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Case);
        uint8_t parameters = 0;
        std::vector<uint8_t> tables;
        int32_t count = 0;
        TDialogAnswers::Set<TfrmCsvElementsSelect>([&](TfrmCsvElementsSelect& d) {
            for (int i : c.Untick) d.chklistboxElements->item(i)->setCheckState(Qt::Unchecked);
            d.btnOk->click();
            return d.result();
        });
        EXPECT_EQ(TfrmCsvElementsSelect::Execute(nullptr, file, &parameters, &tables, &count), 1);
        EXPECT_EQ(parameters, c.Parameters);
        EXPECT_EQ(tables, c.Tables);
        EXPECT_EQ(count, 3);
    }
}

TEST_F(CsvElementsSelect, OkNeedsOneTickedEntry) {
    CSVFile file(File(TypeRows + SpeedsBlock), false);
    uint8_t parameters = 0;
    std::vector<uint8_t> tables;
    int32_t count = 0;
    TfrmCsvElementsSelect dialog(nullptr, file, &parameters, &tables, &count);
    QListWidget* list = dialog.chklistboxElements;
    list->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_TRUE(dialog.btnOk->isEnabled());
    list->item(1)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(dialog.btnOk->isEnabled());
    // A disabled OK does nothing, also when it is reached another way.
    dialog.btnOkClick();
    EXPECT_EQ(count, 0);
    list->item(1)->setCheckState(Qt::Checked);
    EXPECT_TRUE(dialog.btnOk->isEnabled());
}

TEST_F(CsvElementsSelect, CancelAndClosingChooseNothing) {
    CSVFile file(File(TypeRows + SpeedsBlock), false);
    for (const bool close : {false, true}) {
        SCOPED_TRACE(close ? "closed" : "Cancel");
        uint8_t parameters = 1;
        std::vector<uint8_t> tables{1, 1};
        int32_t count = 2;
        TDialogAnswers::Set<TfrmCsvElementsSelect>([&](TfrmCsvElementsSelect& d) {
            if (close) return 0;  // as the title bar's close button or Escape end it
            d.btnCancel->click();
            return d.result();
        });
        EXPECT_EQ(TfrmCsvElementsSelect::Execute(nullptr, file, &parameters, &tables, &count), 2);
        EXPECT_EQ(parameters, 0);
        EXPECT_TRUE(tables.empty());
        EXPECT_EQ(count, 0);
    }
}

TEST_F(CsvElementsSelect, LaidOutWithoutClippedTexts) {
    CSVFile file(File(TypeRows + SpeedsBlock + UnnamedBlock + LimitsBlock), false);
    uint8_t parameters = 0;
    std::vector<uint8_t> tables;
    int32_t count = 0;
    TfrmCsvElementsSelect dialog(nullptr, file, &parameters, &tables, &count);
    EXPECT_EQ(LayoutProblems(&dialog), std::vector<std::string>{});
    EXPECT_GE(dialog.width(), 320);
    EXPECT_GE(dialog.height(), 260);
}
