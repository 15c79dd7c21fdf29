// The type report: its lines against lines written out by hand, the escaping
// of user texts, the window's generation, Custom, the files it reads and
// writes, Close and Escape, and printing into a PDF file whose text is read
// back with pdftotext.
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <chrono>
#include <cstdio>

#include "../frame/FrameTest.h"
#include "../support/gui/LayoutCheck.h"
#include "Appinterface.h"
#include "MessageIds.h"
#include "TextHelpers.h"
#include "TypePrint.h"
#include "TypeReport.h"
#include "TypeSamples.h"
#include "TypeWindowHost.h"

namespace {

using Lines = std::vector<std::string>;
const fs::path FormatFile = fs::path(QX_SOURCE_DIR) / "typeeditor/files/ReportFormat.dat";

// One language, switch 1 "Motor"; "P1 Speed" (rpm, 10 to 3000, 100) and
// "P2 Mode" (3); switch 1 set; one table "Steps" (function 2, block 3, cfg 4,
// level 5) of the fields "Time" (2 bytes, s), "Temp" (1 byte, C) and an
// unnamed 4-byte one, by two rows.
void FillMixer(TTypeObjectData& object) {
    object.SetTypeName("MIXER");
    TTypeData6& type = object.GetTypeData();
    type.SetLanguageCount(1);
    type.GetLanguage(0)->SetName("English");
    type.GetLanguage(0)->SetSwitchText(0, "Motor");
    type.SetParameterCount(2);
    type.SetParamNameRaw(0, 0, "P1 Speed");
    type.SetParamNameRaw(1, 0, "P2 Mode");
    type.GetParamFormat(0)->SetUnits("rpm");
    type.GetParamFormat(0)->Min = 10;
    type.GetParamFormat(0)->Max = 3000;
    type.SetValue(0, 0, 100);
    type.SetValue(1, 0, 3);
    type.SetSwitchMask(0, 0x0001);
    TTableData* t = object.AddTable();
    t->SetName("Steps");
    t->SetFunction(2);
    t->SetBlock(3);
    t->SetCfg(4);
    t->SetLevel(5);
    t->SetFieldCount(3);
    t->GetField(0)->SetName("Time");
    t->GetField(0)->Size = 2;
    t->GetField(0)->SetUnit("s");
    t->GetField(1)->SetName("Temp");
    t->GetField(1)->Size = 1;
    t->GetField(1)->SetUnit("C");
    t->GetField(2)->Size = 4;
    t->SetRowCount(2);
    for (int32_t f = 0; f < 3; ++f) {
        const uint32_t cells[2][3] = {{10, 20, 70000}, {11, 21, 5}};
        t->SetValue(0, 0, f, cells[0][f]);
        t->SetValue(0, 1, f, cells[1][f]);
    }
}

// The report of FillMixer, written out by hand: blocks padded per column,
// five blanks between columns, titles bold.
const Lines MixerReport = {
    "\\par ",
    "\\f1 \\fs16 \\b File: /work/mixer.mtp\\b0 \\par \\par ",
    "\\f1 \\fs40 \\b Type: MIXER\\b0 \\par",
    "\\f0 \\fs20 \\par",
    "\\b Name:      \\b0      \\b MIXER  \\b0 \\par ",
    "\\b Parameters:\\b0      2      \\par ",
    "\\b Language:  \\b0      English\\par ",
    "\\par ",
    "\\par \\b \\ul Parameters\\b0 \\ul0 \\par ",
    "\\b Nr\\b0      \\b Name    \\b0      \\b Value\\b0      \\b Min\\b0      \\b Max \\b0      \\b Units\\b0 \\par ",
    "\\b 1 \\b0      P1 Speed     100       10      3000     rpm  \\par ",
    "\\b 2 \\b0      P2 Mode      3         0       0             \\par ",
    "\\par ",
    "\\b \\ul Configuration\\b0 \\ul0 \\par ",
    "\\b Nr\\b0      \\b Name \\b0      \\b Flag\\b0 \\par ",
    "\\b 16\\b0      SW 16         \\par ",
    "\\b 15\\b0      SW 15         \\par ",
    "\\b 14\\b0      SW 14         \\par ",
    "\\b 13\\b0      SW 13         \\par ",
    "\\b 12\\b0      SW 12         \\par ",
    "\\b 11\\b0      SW 11         \\par ",
    "\\b 10\\b0      SW 10         \\par ",
    "\\b 9 \\b0      SW 9          \\par ",
    "\\b 8 \\b0      SW 8          \\par ",
    "\\b 7 \\b0      SW 7          \\par ",
    "\\b 6 \\b0      SW 6          \\par ",
    "\\b 5 \\b0      SW 5          \\par ",
    "\\b 4 \\b0      SW 4          \\par ",
    "\\b 3 \\b0      SW 3          \\par ",
    "\\b 2 \\b0      SW 2          \\par ",
    "\\b 1 \\b0      Motor     V   \\par ",
    "\\par ",
    "\\b \\ul Table\\ul0 \\b0 \\par",
    "\\b Name:    \\b0      \\b Steps\\b0 \\par ",
    "\\b Function:\\b0      2    \\par ",
    "\\b Block:   \\b0      3    \\par ",
    "\\b Cfg:     \\b0      4    \\par ",
    "\\b Level:   \\b0      5    \\par ",
    "\\b Rows:    \\b0      2    \\par ",
    "\\b Fields:  \\b0      3    \\par ",
    "\\par ",
    "\\b \\ul Fields Info\\ul0 \\b0 \\par",
    "\\b Nr\\b0      \\b Name\\b0      \\b Size\\b0      \\b Units\\b0 \\par ",
    "\\b 1 \\b0      Time     2        s    \\par ",
    "\\b 2 \\b0      Temp     1        C    \\par ",
    "\\b 3 \\b0               4             \\par ",
    "\\par ",
    "\\b Nr\\b0      \\b Time\\b0      \\b Temp\\b0      \\b Field 3\\b0 \\par ",
    "\\b 1 \\b0      10       20       70000  \\par ",
    "\\b 2 \\b0      11       21       5      \\par ",
    "\\par ",
    "}",
};

class TypeReport : public FrameFixture {
protected:
    std::unique_ptr<_AppInterface> App;
    uint8_t Formats[100] = {};
    std::unique_ptr<TTypeObjectData> Type;
    int PrinterDialogs = 0;
    std::function<bool(QPrinter&, bool)> PrinterAnswer;

    void SetUp() override {
        FrameFixture::SetUp();
        fs::copy_file(FormatFile, ProgramDir / "ReportFormat.dat");
        App = std::make_unique<_AppInterface>();
        Type = std::make_unique<TTypeObjectData>(Formats);
        FillMixer(*Type);
        TDialogAnswers::Set<TPrinterDialog>([this](QPrinter& p, bool setup) {
            ++PrinterDialogs;
            return PrinterAnswer ? PrinterAnswer(p, setup) : false;
        });
    }
    void TearDown() override {
        TDialogAnswers::Clear<TPrinterDialog>();
        TDialogAnswers::Clear<TfrmTypeObjectPrint>();
        TDialogAnswers::Clear<TfrmTypeObjectItemsSelect>();
        Type.reset();
        App.reset();
        FrameFixture::TearDown();
    }
    Lines Body(const TfrmTypeObjectPrint& w) const {
        const size_t start = SplitTextLines(ReadFileBytes(FormatFile)).size();
        return w.Lines.size() < start ? Lines{} : Lines(w.Lines.begin() + long(start), w.Lines.end());
    }
    static std::string Preview(const TfrmTypeObjectPrint& w) { return w.RichEdit->toPlainText().toStdString(); }
    static std::string PdfText(const fs::path& pdf) {
        std::string text;
        if (FILE* p = popen(("pdftotext -layout '" + pdf.string() + "' - 2>/dev/null").c_str(), "r")) {
            char buffer[4096];
            size_t n;
            while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) text.append(buffer, n);
            pclose(p);
        }
        return text;
    }
};

TEST_F(TypeReport, LinesOfASmallTypeAsWrittenByHand) {
    TfrmTypeObjectPrint w(App.get(), *Type, "/work/mixer.mtp", 0);
    EXPECT_TRUE(w.Lines.empty());
    w.TimerTimer();
    EXPECT_EQ(Body(w), MixerReport);
    // The file holds the document's start and the report, lines ended by CR LF.
    EXPECT_EQ(w.ReportPath, (ProgramDir / "Report.rtf").string());
    EXPECT_EQ(ReadFileBytes(ProgramDir / "Report.rtf"), ReadFileBytes(FormatFile) + JoinCrLfLines(MixerReport));
    EXPECT_TRUE(Messages.empty());
    // The preview shows the texts, columns aligned, with the report's formats.
    const std::string preview = Preview(w);
    EXPECT_NE(preview.find("File: /work/mixer.mtp\n\nType: MIXER\n"), std::string::npos) << preview;
    EXPECT_NE(preview.find("1      P1 Speed     100       10      3000     rpm  \n"), std::string::npos) << preview;
    EXPECT_NE(preview.find("Nr     Time     Temp     Field 3\n1      10       20       70000  \n"), std::string::npos);
    for (QPushButton* b : {w.btnCustom, w.btnPrintSettings, w.btnPrint, w.btnClose}) EXPECT_TRUE(b->isEnabled());
    EXPECT_EQ(w.ProgressBar->value(), 0);
}

TEST_F(TypeReport, PartsLeftOutOrEmpty) {
    uint8_t formats[100] = {};
    // No parameters, a table with fields and no rows, one without fields,
    // and a table left out by the items.
    TTypeObjectData bare(formats);
    bare.SetTypeName("BARE");
    bare.GetTypeData().GetLanguage(0)->SetName("English");
    TTableData* fieldsOnly = bare.AddTable();
    fieldsOnly->SetFieldCount(1);
    fieldsOnly->GetField(0)->SetName("A");
    bare.AddTable();
    bare.AddTable()->SetName("Hidden");
    _TypeObjectItems items(bare);
    items.configuration = 0;
    items.tables[2] = 0;
    Lines lines;
    int steps = 0;
    ASSERT_TRUE(AppendTypeReport(lines, *App->Mls, bare, items, 0, "Untitled1", [&] { ++steps; }));
    // An empty name leaves the value column one blank wide.
    const std::string attributes =
        "\\b Function:\\b0      0\\par |\\b Block:   \\b0      0\\par |\\b Cfg:     \\b0      0\\par |"
        "\\b Level:   \\b0      0\\par |\\b Rows:    \\b0      0\\par |";
    std::string joined;
    for (const std::string& l : lines) joined += l + "|";
    EXPECT_EQ(joined,
              "\\par |\\f1 \\fs16 \\b File: Untitled1\\b0 \\par \\par |\\f1 \\fs40 \\b Type: BARE\\b0 \\par|"
              "\\f0 \\fs20 \\par|"
              "\\b Name:      \\b0      \\b BARE   \\b0 \\par |\\b Parameters:\\b0      0      \\par |"
              "\\b Language:  \\b0      English\\par |\\par |"
              // the first table: attributes and fields, no cells
              "\\b \\ul Table\\ul0 \\b0 \\par|\\b Name:    \\b0      \\b  \\b0 \\par |" +
                  attributes +
                  "\\b Fields:  \\b0      1\\par |\\par |"
                  "\\b \\ul Fields Info\\ul0 \\b0 \\par|\\b Nr\\b0      \\b Name\\b0      \\b Size\\b0      \\b Units\\b0 \\par |"
                  "\\b 1 \\b0      A        1             \\par |\\par |"
                  // the second: attributes only
                  "\\b \\ul Table\\ul0 \\b0 \\par|\\b Name:    \\b0      \\b  \\b0 \\par |" +
                  attributes + "\\b Fields:  \\b0      0\\par |\\par |}|");
    // Summary, parameters (also without any), two tables.
    EXPECT_EQ(steps, 4);
    // No language at the index: nothing.
    lines.clear();
    EXPECT_FALSE(AppendTypeReport(lines, *App->Mls, bare, items, 1, "x"));
    EXPECT_TRUE(lines.empty());
}

TEST_F(TypeReport, BracesAndBackslashesInUserTextsAreEscaped) {
    Type->SetTypeName("A{B}\\C");
    Type->GetTypeData().SetParamNameRaw(0, 0, "P1 {x}");
    Type->GetTable(0)->GetField(0)->SetName("T\\1");
    EXPECT_EQ(RtfText("plain text 1"), "plain text 1");
    EXPECT_EQ(RtfText("a{b}\\c"), "a\\{b\\}\\\\c");
    TfrmTypeObjectPrint w(App.get(), *Type, "/work/{mixer}.mtp", 0);
    w.TimerTimer();
    const Lines body = Body(w);
    ASSERT_GE(body.size(), 12u);
    EXPECT_EQ(body[1], "\\f1 \\fs16 \\b File: /work/\\{mixer\\}.mtp\\b0 \\par \\par ");
    EXPECT_EQ(body[2], "\\f1 \\fs40 \\b Type: A\\{B\\}\\\\C\\b0 \\par");
    EXPECT_EQ(body[4], "\\b Name:      \\b0      \\b A\\{B\\}\\\\C \\b0 \\par ");
    // Padded as the reader sees the text, escaped afterwards.
    EXPECT_EQ(body[10], "\\b 1 \\b0      P1 \\{x\\}      100       10      3000     rpm  \\par ");
    EXPECT_EQ(body[11], "\\b 2 \\b0      P2 Mode     3         0       0             \\par ");
    // The document stays whole: every text shows as it is, and the report
    // goes on to its end.
    const std::string preview = Preview(w);
    EXPECT_NE(preview.find("Type: A{B}\\C\n"), std::string::npos) << preview;
    EXPECT_NE(preview.find("1      P1 {x}      100 "), std::string::npos) << preview;
    EXPECT_NE(preview.find("Nr     T\\1     Temp"), std::string::npos) << preview;
    EXPECT_NE(preview.find("2      11      21       5"), std::string::npos) << preview;
}

TEST_F(TypeReport, GeneratedHalfASecondAfterOpening) {
    std::chrono::milliseconds waited{};
    TDialogAnswers::Set<TfrmTypeObjectPrint>([&](TfrmTypeObjectPrint& w) {
        EXPECT_TRUE(w.Timer->isActive());
        EXPECT_EQ(w.Timer->interval(), 500);
        const auto start = std::chrono::steady_clock::now();
        while (w.Lines.empty() && std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
            QTest::qWait(20);
        waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        EXPECT_FALSE(w.Timer->isActive());
        EXPECT_EQ(Body(w), MixerReport);
        w.btnClose->click();
        return w.result();
    });
    EXPECT_EQ(TfrmTypeObjectPrint::Execute(App.get(), *Type, "/work/mixer.mtp", 0), 1);
    EXPECT_GE(waited.count(), 400);
}

TEST_F(TypeReport, CustomNarrowsTheReportAndPicksTheLanguage) {
    Type->GetTypeData().SetLanguageCount(2);
    Type->GetTypeData().GetLanguage(1)->SetName("Deutsch");
    Type->GetTypeData().SetParamNameRaw(0, 1, "P1 Tempo");
    struct Case {
        const char* what;
        std::vector<Qt::CheckState> languages, items;
        bool ok;
        std::string language;  // the summary's language line
        bool parameters, configuration, table;
    };
    const Case cases[] = {
        {"second language, no switches", {Qt::Unchecked, Qt::Checked}, {Qt::Checked, Qt::Unchecked, Qt::Checked}, true,
         "Deutsch", true, false, true},
        {"nothing: language 0 and the summary", {Qt::Unchecked, Qt::Unchecked},
         {Qt::Unchecked, Qt::Unchecked, Qt::Unchecked}, true, "English", false, false, false},
        {"cancelled: as before", {Qt::Unchecked, Qt::Checked}, {Qt::Unchecked, Qt::Unchecked, Qt::Unchecked}, false,
         "English", true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TfrmTypeObjectPrint w(App.get(), *Type, "/work/mixer.mtp", 0);
        w.TimerTimer();
        TDialogAnswers::Set<TfrmTypeObjectItemsSelect>([&](TfrmTypeObjectItemsSelect& d) {
            for (int i = 0; i < d.chkListBox1->count(); ++i) d.chkListBox1->item(i)->setCheckState(c.languages[size_t(i)]);
            for (int i = 0; i < d.CheckListBox->count(); ++i) d.CheckListBox->item(i)->setCheckState(c.items[size_t(i)]);
            (c.ok ? d.btnOk : d.btnCancel)->click();
            return d.result();
        });
        w.btnCustom->click();
        std::string joined;
        for (const std::string& l : Body(w)) joined += l + "\n";
        EXPECT_NE(joined.find("\\b Language:  \\b0      " + c.language), std::string::npos) << joined;
        EXPECT_EQ(joined.find("\\par \\b \\ul Parameters") != std::string::npos, c.parameters);
        EXPECT_EQ(joined.find("\\b \\ul Configuration") != std::string::npos, c.configuration);
        EXPECT_EQ(joined.find("\\b \\ul Table") != std::string::npos, c.table);
        if (c.parameters && c.language == "Deutsch") {
            EXPECT_NE(joined.find("P1 Tempo"), std::string::npos);
        }
        EXPECT_EQ(joined.substr(joined.size() - 2), "}\n");
    }
}

TEST_F(TypeReport, FilesItNeedsAndWhereItWrites) {
    // No language at the window's index: message 1006, the window stays open
    // with an empty preview.
    {
        TfrmTypeObjectPrint w(App.get(), *Type, "x", 3);
        w.show();
        w.TimerTimer();
        EXPECT_EQ(MessageTexts(), Lines{App->Text(Msg::ReportNoLanguage)});
        EXPECT_TRUE(w.isVisible());
        EXPECT_TRUE(Preview(w).empty());
        EXPECT_FALSE(fs::exists(ProgramDir / "Report.rtf"));
    }
    // The program folder holds a folder named Report.rtf: the report goes
    // into the settings folder.
    Messages.clear();
    fs::create_directory(ProgramDir / "Report.rtf");
    {
        TfrmTypeObjectPrint w(App.get(), *Type, "/work/mixer.mtp", 0);
        w.TimerTimer();
        EXPECT_TRUE(Messages.empty());
        EXPECT_EQ(w.ReportPath, (SettingsDir() / "Report.rtf").string());
        EXPECT_EQ(ReadFileBytes(SettingsDir() / "Report.rtf"), ReadFileBytes(FormatFile) + JoinCrLfLines(MixerReport));
        EXPECT_FALSE(Preview(w).empty());
    }
    // Neither can be written: message 1008 with the path, the buttons work.
    fs::remove(SettingsDir() / "Report.rtf");
    fs::create_directory(SettingsDir() / "Report.rtf");
    {
        TfrmTypeObjectPrint w(App.get(), *Type, "/work/mixer.mtp", 0);
        w.TimerTimer();
        // The cause is the settings folder's, the file the message names.
        EXPECT_EQ(MessageTexts(), Lines{App->Text(Msg::ReportTempFileFailed, (SettingsDir() / "Report.rtf").string()) +
                                        "\r\nIs a directory"});
        for (QPushButton* b : {w.btnCustom, w.btnPrintSettings, w.btnPrint, w.btnClose}) EXPECT_TRUE(b->isEnabled());
        EXPECT_EQ(w.ProgressBar->value(), 0);
    }
    // No document start beside the program: message 1007, the window closes.
    Messages.clear();
    fs::remove(ProgramDir / "ReportFormat.dat");
    TDialogAnswers::Set<TfrmTypeObjectPrint>([](TfrmTypeObjectPrint& w) {
        w.show();
        w.TimerTimer();
        EXPECT_FALSE(w.isVisible());
        return w.result();
    });
    EXPECT_EQ(TfrmTypeObjectPrint::Execute(App.get(), *Type, "x", 0), 2);
    EXPECT_EQ(MessageTexts(), Lines{App->Text(Msg::ReportFileNotFound, (ProgramDir / "ReportFormat.dat").string()) +
                                    "\r\nNo such file or directory"});
}

TEST_F(TypeReport, PrintedAsOneJobIntoAPdfFile) {
    const fs::path pdf = Root / "report.pdf";
    PrinterAnswer = [&](QPrinter& p, bool setup) {
        EXPECT_FALSE(setup);
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(QString::fromStdString(pdf.string()));
        return true;
    };
    Type->SetTypeName("A{B}");
    TDialogAnswers::Set<TfrmTypeObjectPrint>([](TfrmTypeObjectPrint& w) {
        w.show();
        w.TimerTimer();
        w.btnPrint->click();
        EXPECT_FALSE(w.isVisible());
        return w.result();
    });
    EXPECT_EQ(TfrmTypeObjectPrint::Execute(App.get(), *Type, "/work/mixer.mtp", 0), 2);
    EXPECT_EQ(PrinterDialogs, 1);
    EXPECT_TRUE(Messages.empty());
    const std::string text = PdfText(pdf);
    for (const char* part : {"File: /work/mixer.mtp", "Type: A{B}", "P1 Speed", "Motor", "Fields Info", "70000"})
        EXPECT_NE(text.find(part), std::string::npos) << part << " in:\n" << text;
    // One job, titled "Report".
    const std::string pdfBytes = ReadFileBytes(pdf);
    EXPECT_NE(pdfBytes.find("/Title (\xFE\xFF"), std::string::npos);
    EXPECT_NE(pdfBytes.find(std::string("\0R\0e\0p\0o\0r\0t", 12)), std::string::npos);
}

TEST_F(TypeReport, PrintFailureKeepsTheWindowAndCancelCloses) {
    PrinterAnswer = [&](QPrinter& p, bool) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(QString::fromStdString((Root / "no such folder" / "r.pdf").string()));
        return true;
    };
    TfrmTypeObjectPrint w(App.get(), *Type, "/work/mixer.mtp", 0);
    w.show();
    w.TimerTimer();
    w.btnPrint->click();
    EXPECT_TRUE(w.isVisible());
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Icon, TMsgIcon::Stop);
    EXPECT_NE(Messages[0].Text.find("no such folder/r.pdf"), std::string::npos) << Messages[0].Text;
    // Printer Settings asks the settings dialog, and changes nothing else.
    int setups = 0;
    PrinterAnswer = [&](QPrinter&, bool setup) {
        setups += setup;
        return false;
    };
    w.btnPrintSettings->click();
    EXPECT_EQ(setups, 1);
    EXPECT_TRUE(w.isVisible());
    // A cancelled print dialog closes the window.
    w.btnPrint->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), 2);
    EXPECT_EQ(PrinterDialogs, 3);
}

TEST_F(TypeReport, CloseEscapeAndTheTitleBar) {
    const struct {
        const char* what;
        std::function<void(TfrmTypeObjectPrint&)> close;
        int32_t result;
    } cases[] = {
        {"Close", [](TfrmTypeObjectPrint& w) { w.btnClose->click(); }, 1},
        {"Escape", [](TfrmTypeObjectPrint& w) { QTest::keyClick(&w, Qt::Key_Escape); }, 1},
        {"title bar", [](TfrmTypeObjectPrint& w) { w.close(); }, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TDialogAnswers::Set<TfrmTypeObjectPrint>([&](TfrmTypeObjectPrint& w) {
            w.show();
            w.TimerTimer();
            w.resize(700, 500);
            c.close(w);
            return w.result();
        });
        EXPECT_EQ(TfrmTypeObjectPrint::Execute(App.get(), *Type, "x", 0), c.result);
        // The window's size is kept for the next one.
        EXPECT_EQ(App->DialogPlacements[2].Width, 700);
        EXPECT_EQ(App->DialogPlacements[2].Height, 500);
    }
}

TEST_F(TypeReport, LayoutShowsEveryText) {
    {
        TfrmTypeObjectPrint english(App.get(), *Type, "x", 0);
        EXPECT_EQ(english.windowTitle(), "Type Print");
        EXPECT_GE(english.minimumWidth(), 410);
        EXPECT_GE(english.minimumHeight(), 400);
        EXPECT_EQ(LayoutProblems(&english), std::vector<std::string>{});
        WriteFileBytes(ProgramDir / "QX318Utility.mls", LongTextsLanguageFile({&english}));
    }
    App = std::make_unique<_AppInterface>();
    App->Mls->SetLanguage(0);
    TfrmTypeObjectPrint w(App.get(), *Type, "x", 0);
    ASSERT_EQ(w.btnPrintSettings->text(), "Printer SettingsPrinter Settings");
    EXPECT_EQ(LayoutProblems(&w), std::vector<std::string>{});
}

// The type window's Print opens the report of its type in its current
// language, under its display name.
class TypeWindowPrint : public TypeReport {
protected:
    TTypeWindowHost Host;
    void TearDown() override {
        Host.Close();
        TypeReport::TearDown();
    }
};

TEST_F(TypeWindowPrint, PrintCommandReportsTheOpenType) {
    const std::string path = (Root / "mixer.mtp").string();
    ASSERT_TRUE(Type->SaveToFile(path));
    TfrmTypeObject* w = Host.Open(path);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->mnuPrint->isEnabled());
    EXPECT_TRUE(w->mnuExport->isEnabled());
    EXPECT_TRUE(w->mnuExportPWX->isEnabled());
    std::string preview;
    TDialogAnswers::Set<TfrmTypeObjectPrint>([&](TfrmTypeObjectPrint& p) {
        p.TimerTimer();
        preview = Preview(p);
        p.btnClose->click();
        return p.result();
    });
    w->mnuPrint->trigger();
    EXPECT_NE(preview.find("File: " + path + "\n"), std::string::npos) << preview;
    EXPECT_NE(preview.find("Type: MIXER\n"), std::string::npos);
}

}  // namespace
