// The CSV export and import of the type window, through the real window
// inside the main window: the tables an import appends and their order,
// the question before the parameters are overwritten, imports into a new
// window, damaged and missing files, the export's bytes, a round trip in
// hexadecimal and binary display, and writes that fail on the way.
#include <QListWidget>
#include <optional>
#include <QPushButton>

#include "../core/TempFolder.h"
#include "../frame/FrameTest.h"
#include "CSVFile.h"
#include "CsvElementsSelect.h"
#include "Main.h"
#include "Tabledata.h"
#include "TypeCSVCommands.h"
#include "TypeItemsSelect.h"
#include "TypeObject.h"
#include "TypeSamples.h"
#include "TypeWindow.h"
#include "Typedata.h"

namespace {

using Strings = std::vector<std::string>;

// A type "FAN" in two languages with one parameter and switch 16 on.
const std::string FanRows = CrLfLines({
    "QX318Utility_Exported;;;;;;",
    "Anzahl_Config-Switches;16;;;;;",
    "Ident-String;FAN;;;;;",
    "\xA7Sprachen;;;;;x;x",
    "Bezeichner;Wert;Einheit;Min ;Max;English;Deutsch",
    "\xA7" "Config;;;;;;",
    "SW16;x;;;;Heater;Heizung",
    "\xA7Parameter;;;;;;",
    "P7;42;l/h;0;500;Flow;Durchfluss",
});
std::string Block(const char* name, const char* cells) {
    return CrLfLines({"\xA7Table", "\xA7TableInfo"}) + "Name;" + name + "\r\n" +
           CrLfLines({"Function;5", "Block;6", "Cfg;7", "Level;8", "\xA7TableFields", "A;1;;0", "B;2;mm;1",
                  "\xA7TableData"}) +
           cells;
}

class TypeCSVCommands : public FrameFixture {
protected:
    std::unique_ptr<TfrmQX318MainForm> Main;
    QMessageBox::StandardButton Answer = QMessageBox::Yes;
    // Entries of the elements dialog to untick; Cancel instead of OK.
    std::vector<int> Untick;
    bool CancelElements = false;
    int ElementDialogs = 0;
    // Entries of the export's items dialog to untick: languages, items.
    std::vector<int> UntickLanguages, UntickItems;
    bool CancelItems = false;
    // The save dialog's proposals; the file it chooses (empty: cancelled).
    std::vector<std::pair<TOpenDialogRequest, std::string>> SaveDialogs;
    std::string SaveFile;

    void SetUp() override {
        FrameFixture::SetUp();
        RegisterTypeEditor();
        TDialogAnswers::Set<TMessageBoxDialog>([this](const TMessageRequest& r) {
            Messages.push_back(r);
            return r.Buttons == TMsgButtons::Ok ? QMessageBox::Ok : Answer;
        });
        TDialogAnswers::Set<TfrmCsvElementsSelect>([this](TfrmCsvElementsSelect& d) {
            ++ElementDialogs;
            if (CancelElements) return 2;
            for (int i : Untick) d.chklistboxElements->item(i)->setCheckState(Qt::Unchecked);
            d.btnOk->click();
            return d.result();
        });
        TDialogAnswers::Set<TfrmTypeObjectItemsSelect>([this](TfrmTypeObjectItemsSelect& d) {
            if (CancelItems) return 2;
            for (int i : UntickLanguages) d.chkListBox1->item(i)->setCheckState(Qt::Unchecked);
            for (int i : UntickItems) d.CheckListBox->item(i)->setCheckState(Qt::Unchecked);
            d.btnOk->click();
            return d.result();
        });
        TDialogAnswers::Set<TSaveFileDialog>([this](const TOpenDialogRequest& r, const std::string& start, std::string& name) {
            SaveDialogs.push_back({r, start});
            if (SaveFile.empty()) return false;
            name = SaveFile;
            return true;
        });
        Main = std::make_unique<TfrmQX318MainForm>();
        Main->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        for (TMDICustomChild* w : Main->DocumentWindows())
            if (auto* t = qobject_cast<TfrmTypeObject*>(w)) t->Modified = false;
        Main.reset();
        TDialogAnswers::Clear<TfrmCsvElementsSelect>();
        TDialogAnswers::Clear<TfrmTypeObjectItemsSelect>();
        TDialogAnswers::Clear<TSaveFileDialog>();
        FrameFixture::TearDown();
    }

    std::string Csv(const std::string& bytes, const char* name = "in.csv") {
        WriteFileBytes(Root / name, bytes);
        return (Root / name).string();
    }
    // The sample type (PUMP, tables "Speeds" and an unnamed one) in its window.
    TfrmTypeObject* OpenSample() {
        uint8_t formats[100] = {};
        TTypeObjectData type(formats);
        FillSampleType(type);
        const std::string path = (Root / "pump.mtp").string();
        EXPECT_TRUE(type.SaveToFile(path));
        QPointer<TMDICustomChild> w = DocumentCreators().OpenTypeObject(&Main->App, path);
        QApplication::processEvents();
        return qobject_cast<TfrmTypeObject*>(OpenWindow(w));
    }
    void Import(const std::string& file) {
        ChosenFile = file;
        Main->actImport->trigger();
        QApplication::processEvents();
    }
    std::vector<TfrmTypeObject*> TypeWindows() const {
        std::vector<TfrmTypeObject*> list;
        for (TMDICustomChild* w : Main->DocumentWindows())
            if (auto* t = qobject_cast<TfrmTypeObject*>(w)) list.push_back(t);
        return list;
    }
    static Strings TableNames(const TTypeObjectData& type) {
        Strings names;
        for (int32_t i = 0; i < type.GetTableCount(); ++i) names.push_back(type.GetTable(i)->GetName());
        return names;
    }
    static Strings OwnerNames(const TTypeObjectData& type) {
        Strings names;
        for (int32_t i = 0; i < type.GetTableCount(); ++i) names.push_back(type.GetTable(i)->GetTypeName());
        return names;
    }
    static Strings ParameterNames(const TTypeData6& def, int32_t language) {
        Strings names;
        for (int32_t p = 0; p < def.GetParameterCount(); ++p) names.push_back(def.GetParamName(p, language));
        return names;
    }
};

}  // namespace

TEST_F(TypeCSVCommands, ImportAppendsTheChosenTablesInFileOrder) {
    TfrmTypeObject* w = OpenSample();
    ASSERT_NE(w, nullptr);
    Untick = {2};  // the second of three blocks
    Import(Csv(Block("T1", "1;2\r\n") + Block("T2", "3;4\r\n") + Block("T3", "0x7F;-2\r\n250;0x10\r\n")));
    EXPECT_EQ(ElementDialogs, 1);
    EXPECT_TRUE(Messages.empty());  // only tables: nothing to ask
    const TTypeObjectData& type = *w->TypeData;
    EXPECT_EQ(TableNames(type), (Strings{"Speeds", "", "T1", "T3"}));
    // The imported tables belong to the type (the sample's own have no owner).
    EXPECT_EQ(OwnerNames(type), (Strings{"", "", "PUMP", "PUMP"}));
    const TTableData& t3 = *type.GetTable(3);
    EXPECT_EQ(t3.GetFieldCount(), 2);
    EXPECT_EQ(t3.GetRowCount(), 2);
    EXPECT_EQ(t3.GetDataSetCount(), 1);
    EXPECT_EQ((std::vector<uint32_t>{t3.GetValue(0, 0, 0), t3.GetValue(0, 0, 1), t3.GetValue(0, 1, 0),
                                     t3.GetValue(0, 1, 1)}),
              (std::vector<uint32_t>{0x7F, 0xFFFFFFFE, 250, 0x10}));
    EXPECT_EQ((std::vector<int>{t3.GetFunction(), t3.GetBlock(), t3.GetCfg(), t3.GetLevel()}),
              (std::vector<int>{5, 6, 7, 8}));
    // The type's own part stays as it was.
    EXPECT_EQ(type.GetTypeName(), "PUMP");
    EXPECT_EQ(ParameterNames(type.GetTypeData(), 0), (Strings{"P1 Speed", "P2 Limit", "P3 Delay"}));
    EXPECT_TRUE(w->Modified);
    EXPECT_EQ(w->StatusPanels[0]->text().toStdString(), "Modified");
    EXPECT_EQ(w->TabControl->count(), 2 + 4);  // parameters, configuration and a tab per table
    EXPECT_EQ(TypeWindows().size(), 1u);
}

TEST_F(TypeCSVCommands, OverwritingTheParametersIsAskedFirst) {
    const std::string file = Csv(FanRows + Block("Fans", "9;10\r\n"));
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        SCOPED_TRACE(answer == QMessageBox::Yes ? "Yes" : "No");
        TfrmTypeObject* w = OpenSample();
        ASSERT_NE(w, nullptr);
        Messages.clear();
        Answer = answer;
        Import(file);
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_EQ(Messages[0].Text, "This will overwrite current Parameters/Configuration!\r\nContinue?");
        EXPECT_EQ(Messages[0].Icon, TMsgIcon::Warning);
        EXPECT_EQ(Messages[0].Buttons, TMsgButtons::YesNo);
        const TTypeObjectData& type = *w->TypeData;
        const TTypeData6& def = type.GetTypeData();
        if (answer == QMessageBox::No) {
            EXPECT_EQ(type.GetTypeName(), "PUMP");
            EXPECT_EQ(TableNames(type), (Strings{"Speeds", ""}));
            EXPECT_EQ(def.GetLanguageCount(), 2);
            EXPECT_FALSE(w->Modified);
        } else {
            EXPECT_EQ(type.GetTypeName(), "FAN");
            ASSERT_EQ(def.GetLanguageCount(), 2);
            EXPECT_EQ(def.GetLanguage(1)->GetName(), "Deutsch");
            EXPECT_EQ(ParameterNames(def, 0), Strings{"P7 Flow"});
            EXPECT_EQ(ParameterNames(def, 1), Strings{"P7 Durchfluss"});
            EXPECT_EQ(def.GetValue(0, 0), 42);
            EXPECT_EQ(def.GetSwitchMask(0), 0x8000);
            EXPECT_EQ(def.GetLanguage(1)->GetSwitchText(15), "Heizung");
            EXPECT_EQ(def.GetDataSetCount(), 1);
            // The tables there were come first and now belong to FAN.
            EXPECT_EQ(TableNames(type), (Strings{"Speeds", "", "Fans"}));
            EXPECT_EQ(OwnerNames(type), (Strings{"FAN", "FAN", "FAN"}));
            EXPECT_TRUE(w->Modified);
        }
        w->Modified = false;
        w->close();
        QApplication::processEvents();
    }
}

TEST_F(TypeCSVCommands, ImportIntoANewWindow) {
    const std::string good = Csv(FanRows + Block("Fans", "9;10\r\n"), "good.csv");
    const std::string damaged =
        Csv(CrLfLines({"Ident-String;BAD;;;;", "\xA7Parameter;;;;;", "P1;12a;;0;9;x"}) + Block("T", "1;1\r\n"), "bad.csv");
    const struct {
        const char* Case;
        std::string File;
        bool Cancel;
        std::vector<int> Untick;
        Strings Messages;
        bool WindowStays;
    } cases[] = {
        {"a type and a table", good, false, {}, {}, true},
        {"the elements dialog cancelled", good, true, {}, {}, false},
        {"a missing file", (Root / "missing.csv").string(), false, {}, {"Cannot open file!\r\n" + (Root / "missing.csv").string() + "\r\nNo such file or directory"}, false},
        {"a folder", Root.string(), false, {}, {"Cannot open file!\r\n" + Root.string() + "\r\nIs a directory"}, false},
        // The damaged type rows are offered unticked; ticking them anyway
        // reads nothing into the window.
        {"damaged type rows, ticked", damaged, false, {}, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Case);
        Messages.clear();
        CancelElements = c.Cancel;
        Untick = c.Untick;
        const bool damagedTicked = c.File == damaged;
        if (damagedTicked)
            TDialogAnswers::Set<TfrmCsvElementsSelect>([](TfrmCsvElementsSelect& d) {
                d.chklistboxElements->item(0)->setCheckState(Qt::Checked);
                d.btnOk->click();
                return d.result();
            });
        Import(c.File);
        if (damagedTicked) {
            EXPECT_EQ(MessageTexts(),
                      Strings{"Some errors occured during import.\r\nInput file is not consistent.\r\nVerify again "
                              "every imported parameter/table."});
            // Nothing was read: the new window goes again.
            EXPECT_TRUE(TypeWindows().empty());
            continue;
        }
        EXPECT_EQ(MessageTexts(), c.Messages);  // a new window never asks before overwriting
        ASSERT_EQ(TypeWindows().size(), c.WindowStays ? 1u : 0u);
        if (!c.WindowStays) continue;
        TfrmTypeObject* w = TypeWindows()[0];
        EXPECT_EQ(w->TypeData->GetTypeName(), "FAN");
        EXPECT_EQ(TableNames(*w->TypeData), Strings{"Fans"});
        EXPECT_TRUE(w->Modified);
        w->Modified = false;
        w->close();
        QApplication::processEvents();
    }
}

TEST_F(TypeCSVCommands, DamagedTypeRowsLeaveTheOpenTypeAsItWas) {
    TfrmTypeObject* w = OpenSample();
    ASSERT_NE(w, nullptr);
    TDialogAnswers::Set<TfrmCsvElementsSelect>([](TfrmCsvElementsSelect& d) {
        d.chklistboxElements->item(0)->setCheckState(Qt::Checked);
        d.btnOk->click();
        return d.result();
    });
    Import(Csv(CrLfLines({"Ident-String;BAD;;;;;", "\xA7Sprachen;;;;;x", "Bezeichner;Wert;Einheit;Min ;Max;Klingon",
                      "\xA7Parameter;;;;;", "P1;1;;0;9;One", "P2;12a;;0;9;Two"}) +
               Block("T", "1;1\r\n")));
    EXPECT_EQ(MessageTexts(),
              (Strings{"This will overwrite current Parameters/Configuration!\r\nContinue?",
                       "Some errors occured during import.\r\nInput file is not consistent.\r\nVerify again every "
                       "imported parameter/table."}));
    const TTypeObjectData& type = *w->TypeData;
    EXPECT_EQ(type.GetTypeName(), "PUMP");
    EXPECT_EQ(type.GetTypeData().GetLanguage(0)->GetName(), "English");
    EXPECT_EQ(ParameterNames(type.GetTypeData(), 0), (Strings{"P1 Speed", "P2 Limit", "P3 Delay"}));
    EXPECT_EQ(TableNames(type), (Strings{"Speeds", ""}));
    EXPECT_FALSE(w->Modified);
}

TEST_F(TypeCSVCommands, AWriteThatFailsNeverLeavesAFileAsSaved) {
    uint8_t formats[100] = {};
    // One table that goes past the file's write buffer, one that stays in it.
    auto typeWith = [&](int32_t rows) {
        auto type = std::make_unique<TTypeObjectData>(formats);
        FillSampleType(*type);
        TTableData* t = type->GetTable(1);
        t->SetFieldCount(1);
        t->GetField(0)->Size = 4;
        t->SetRowCount(rows);
        for (int32_t r = 0; r < rows; ++r) t->SetValue(0, r, 0, 1234567);
        return type;
    };
    const auto big = typeWith(20000), small = typeWith(100);
    const std::vector<uint8_t> english{1, 0};
    const std::string target = (Root / "out.csv").string();
    const TCsvExportResult typeOnly = WriteTypeCSVFile(*small, target, english, true, true, {});
    ASSERT_TRUE(typeOnly.Saved);
    const auto typeSize = static_cast<rlim_t>(fs::file_size(target));
    const struct {
        const char* Case;
        TTypeObjectData* Type;
        rlim_t Limit;  // 0: none
        bool PartFailed, Saved;
    } cases[] = {
        {"the type's rows fail", small.get(), 50, true, false},
        {"a table fails", big.get(), typeSize + 100, true, false},
        {"only the last bytes fail, at the close", small.get(), typeSize + 100, false, false},
        {"everything fits", big.get(), 0, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Case);
        WriteFileBytes(target, "old contents");
        TCsvExportResult result;
        {
            std::optional<FileSizeLimit> limit;
            if (c.Limit) limit.emplace(c.Limit);
            result = WriteTypeCSVFile(*c.Type, target, english, true, true, std::vector<uint8_t>{1, 1});
        }
        EXPECT_EQ(result.PartFailed, c.PartFailed);
        EXPECT_EQ(result.Saved, c.Saved);
        const std::string now = ReadFileBytes(target);
        if (c.Saved) EXPECT_EQ(now.substr(now.size() - 9), "1234567\r\n");
        else EXPECT_EQ(now, "old contents");
        // Nothing half-written stays behind.
        size_t files = 0;
        for (const auto& e : fs::directory_iterator(Root)) files += e.path().extension() != ".mtp" && e.is_regular_file();
        EXPECT_EQ(files, 1u);
    }
    const TCsvExportResult nowhere = WriteTypeCSVFile(*small, (Root / "no/such/folder.csv").string(), english, true, true, {});
    EXPECT_FALSE(nowhere.Saved);
    EXPECT_FALSE(nowhere.PartFailed);
}

TEST_F(TypeCSVCommands, ExportProposesACsvName) {
    const struct {
        std::string Display, Proposed;
    } cases[] = {
        {"/home/u/pump.mtp", "/home/u/pump.csv"},
        {"/home/u/pump.v2.mtp", "/home/u/pump.v2.csv"},
        {"/home/u.d/pump", "/home/u.d/pump"},
        {"/home/u/.hidden", "/home/u/.hidden"},
        {"Untitled1", "Untitled1"},
    };
    for (const auto& c : cases) EXPECT_EQ(CsvExportFileName(c.Display), c.Proposed) << c.Display;
}

TEST_F(TypeCSVCommands, TheLanguageShownFollowsAnImportWithFewerLanguages) {
    TfrmTypeObject* w = OpenSample();
    ASSERT_NE(w, nullptr);
    w->CurrentLanguage = 1;  // Deutsch
    w->Refresh(false);
    Import(Csv(CrLfLines({"Ident-String;ONE;;;;", "\xA7Sprachen;;;;;x", "Bezeichner;Wert;Einheit;Min ;Max;Italiano",
                          "\xA7Parameter;;;;;", "P1;1;;0;9;Uno"})));
    ASSERT_EQ(w->TypeData->GetTypeData().GetLanguageCount(), 1);
    EXPECT_EQ(w->CurrentLanguage, 0);
    EXPECT_EQ(w->StatusPanels[1]->text().toStdString(), "Italiano");
}

TEST_F(TypeCSVCommands, ExportWritesTheChosenPartsAndTheyReadBack) {
    TfrmTypeObject* w = OpenSample();
    ASSERT_NE(w, nullptr);
    // Field 0 of every table in binary, field 1 in hexadecimal, field 2 in
    // decimal.
    Main->App.DisplayFormats[TTableData::FirstFieldSlot] = 2;
    Main->App.DisplayFormats[TTableData::FirstFieldSlot + 1] = 1;
    UntickLanguages = {1};  // Deutsch
    UntickItems = {1, 3};   // Configuration, the unnamed table
    SaveFile = (Root / "exported.csv").string();
    w->mnuExportCSV->trigger();
    ASSERT_EQ(SaveDialogs.size(), 1u);
    EXPECT_EQ(SaveDialogs[0].second, (Root / "pump.csv").string());
    EXPECT_EQ(SaveDialogs[0].first.Filter, "CSV File (*.csv)|*.csv|Any File (*.*)|*.*");
    EXPECT_EQ(SaveDialogs[0].first.DefaultExt, "*.csv");
    EXPECT_TRUE(Messages.empty());
    EXPECT_FALSE(w->Modified);
    const std::string expected = CrLfLines({
        "QX318Utility_Exported;;;;;;",
        "Anzahl_Config-Switches;16;;;;;",
        "Ident-String;PUMP;;;;;",
        "\xA7Sprachen;;;;;x;",
        "Bezeichner;Wert;Einheit;Min ;Max;English;Deutsch",
        "\xA7Parameter;;;;;;",
        "P1;100;rpm;10;3000;Speed;",
        "P2;43981;;0;0;Limit;",
        "P3;5;;0;0;Delay;",
        "\xA7Table",
        "\xA7TableInfo",
        "Name;Speeds",
        "Function;0",
        "Block;0",
        "Cfg;0",
        "Level;0",
        "\xA7TableFields",
        "Step;1;;0",
        "Temp;2;;1",
        ";4;;0",
        "\xA7TableData",
        "00000111b;0xFFFB;305419896",
        "11111111b;0x012C;1",
    });
    EXPECT_EQ(ReadFileBytes(SaveFile), expected);

    // Read back into a new window, in the same display formats.
    w->close();
    QApplication::processEvents();
    Import(SaveFile);
    ASSERT_EQ(TypeWindows().size(), 1u);
    const TTypeObjectData& type = *TypeWindows()[0]->TypeData;
    EXPECT_EQ(type.GetTypeName(), "PUMP");
    EXPECT_EQ(ParameterNames(type.GetTypeData(), 0), (Strings{"P1 Speed", "P2 Limit", "P3 Delay"}));
    EXPECT_EQ(type.GetTypeData().GetValue(1, 0), 0xABCD);
    ASSERT_EQ(TableNames(type), Strings{"Speeds"});
    const TTableData& t = *type.GetTable(0);
    ASSERT_EQ(t.GetFieldCount(), 3);
    EXPECT_EQ(t.GetField(1)->Size, 2);
    EXPECT_EQ(t.GetField(1)->Flags, 1);
    std::vector<uint32_t> cells;
    for (int32_t r = 0; r < t.GetRowCount(); ++r)
        for (int32_t f = 0; f < 3; ++f) cells.push_back(t.GetValue(0, r, f));
    EXPECT_EQ(cells, (std::vector<uint32_t>{7, 0xFFFFFFFB, 0x12345678, 255, 300, 1}));
}

TEST_F(TypeCSVCommands, AFailedExportIsReportedAndKeepsTheOldFile) {
    TfrmTypeObject* w = OpenSample();
    ASSERT_NE(w, nullptr);
    SaveFile = (Root / "exported.csv").string();
    w->mnuExportCSV->trigger();
    ASSERT_TRUE(Messages.empty());
    const auto size = static_cast<rlim_t>(fs::file_size(SaveFile));
    // The message table's text, then the cause the system gave.
    const std::string cannotSave = "Cannot save file:\r\n" + SaveFile + "\r\nFile too large";
    const std::string inconsistent = "Some errors occured during export.\r\nOutput file is not consistent.";
    const struct {
        const char* Case;
        rlim_t Limit;
        Strings Messages;
    } cases[] = {
        {"a part fails", 50, {inconsistent, cannotSave}},
        // Every part went into the write buffer; the close writes it out.
        {"the close fails", size - 10, {cannotSave}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Case);
        WriteFileBytes(SaveFile, "old contents");
        Messages.clear();
        {
            FileSizeLimit limit(c.Limit);
            w->mnuExportCSV->trigger();
        }
        EXPECT_EQ(MessageTexts(), c.Messages);
        for (const TMessageRequest& m : Messages) EXPECT_EQ(m.Icon, TMsgIcon::Stop);
        EXPECT_EQ(ReadFileBytes(SaveFile), "old contents");
        EXPECT_FALSE(w->Modified);
    }
    // Cancelled in either dialog: nothing written, nothing said.
    Messages.clear();
    const size_t dialogs = SaveDialogs.size();
    CancelItems = true;
    w->mnuExportCSV->trigger();
    EXPECT_EQ(SaveDialogs.size(), dialogs);
    CancelItems = false;
    SaveFile.clear();
    w->mnuExportCSV->trigger();
    EXPECT_EQ(SaveDialogs.size(), dialogs + 1);
    EXPECT_TRUE(Messages.empty());
    EXPECT_EQ(ReadFileBytes(Root / "exported.csv"), "old contents");
}
