// The PWX export: both files against bytes written out by hand, the line
// numbering of many parameters, the file names, and the type window's
// command with its failures.
#include <QApplication>
#include <regex>

#include "../frame/FrameTest.h"
#include "MessageIds.h"
#include "TextHelpers.h"
#include "TypePwx.h"
#include "TypeSamples.h"
#include "TypeWindowHost.h"

namespace {

using Lines = std::vector<std::string>;

// The header's third line: "#Saved:  " and the build's date and time.
const std::regex StampLine(R"(#Saved:  (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 1-3][0-9] [0-9]{4} [0-2][0-9]:[0-5][0-9]:[0-6][0-9]\r\n)");

// The file bytes with line 3 taken out (checked by its pattern) and line 1
// checked to be a comment naming no one but this program's authors.
std::string WithoutHeader(const std::string& bytes) {
    const size_t first = bytes.find("\r\n");
    const size_t second = bytes.find("\r\n", first + 2);
    const size_t third = bytes.find("\r\n", second + 2);
    if (third == std::string::npos) return "no header: " + bytes;
    EXPECT_EQ(bytes.substr(0, 1), "#");
    EXPECT_EQ(bytes.substr(first + 2, second - first - 2), "#Konfiguration PWX System");
    EXPECT_TRUE(std::regex_match(bytes.substr(second + 2, third + 2 - second - 2), StampLine))
        << bytes.substr(second + 2, third - second - 2);
    return bytes.substr(third + 2);
}

// Three parameters: "P1   Speed  fast" (three and two blanks), "P2 Limit",
// and a third without a text; mask 0x0102; values 300, 0xABCD, 5.
void FillPwxType(TTypeData6& type) {
    type.SetLanguageCount(1);
    type.SetDataSetCount(1);
    type.SetParameterCount(3);
    type.SetParamNameRaw(0, 0, "P1   Speed  fast");
    type.SetParamNameRaw(1, 0, "P2 Limit");
    type.SetSwitchMask(0, 0x0102);
    type.SetValue(0, 0, 300);
    type.SetValue(1, 0, 0xABCD);
    type.SetValue(2, 0, 5);
}

TEST(PwxFiles, SmallTypeAsWrittenByHand) {
    TTypeData6 type;
    FillPwxType(type);
    const std::string stamp = PwxBuildStamp();
    const std::string text = JoinCrLfLines(PwxTextLines(type, 0, "Configuration", stamp));
    const std::string data = JoinCrLfLines(PwxDataLines(type, stamp));
    EXPECT_EQ(WithoutHeader(text),
              "\r\n"
              "4\r\n"
              "8\r\n"
              "Configuration\r\n"
              "  1: P1 Speed fast\r\n"
              "  2: P2 Limit\r\n"
              "  3: \r\n");
    EXPECT_EQ(WithoutHeader(data),
              "\r\n"
              "1:[1]\r\n"
              "2:[0][0][0][0]\r\n"
              "13:[8]\r\n"
              "14:[0]\r\n"
              "20:[1][2][1][44][171][205][0][5]\r\n");
    // Both files share their header.
    EXPECT_EQ(text.substr(0, text.find("\r\n\r\n")), data.substr(0, data.find("\r\n\r\n")));
}

TEST(PwxFiles, ValuesEightToALineAndNumbersRightAligned) {
    const struct {
        int32_t parameters;
        Lines dataTail;  // the data file from line 9 on
        std::string textLine;  // the last line of the text file
    } cases[] = {
        {0, {"20:[0][0]"}, "Configuration"},
        {7, {"20:[0][0][0][1][0][2][0][3][0][4][0][5][0][6][0][7]"}, "  7: P7"},
        {8, {"20:[0][0][0][1][0][2][0][3][0][4][0][5][0][6][0][7]", "21:[0][8]"}, "  8: P8"},
        {16,
         {"20:[0][0][0][1][0][2][0][3][0][4][0][5][0][6][0][7]", "21:[0][8][0][9][0][10][0][11][0][12][0][13][0][14][0][15]",
          "22:[0][16]"},
         " 16: P16"},
        {100, {}, "100: P100"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parameters);
        TTypeData6 type;
        type.SetLanguageCount(1);
        type.SetDataSetCount(1);
        type.SetParameterCount(c.parameters);
        for (int32_t p = 0; p < c.parameters; ++p) {
            type.SetParamNameRaw(p, 0, "P" + std::to_string(p + 1));
            type.SetValue(p, 0, static_cast<uint16_t>(p + 1));
        }
        const Lines text = PwxTextLines(type, 0, "Configuration", "x");
        const Lines data = PwxDataLines(type, "x");
        ASSERT_EQ(text.size(), size_t(7 + c.parameters));
        EXPECT_EQ(text[5], std::to_string((c.parameters + 1) * 2));
        EXPECT_EQ(data[6], "13:[" + std::to_string((c.parameters + 1) * 2) + "]");
        EXPECT_EQ(text.back(), c.textLine);
        if (!c.dataTail.empty()) EXPECT_EQ(Lines(data.begin() + 8, data.end()), c.dataTail);
        else EXPECT_EQ(data.size(), size_t(8 + 1 + (c.parameters + 1) / 8));
    }
    // Parameter 10 has one blank before it.
    TTypeData6 ten;
    ten.SetParameterCount(10);
    EXPECT_EQ(PwxTextLines(ten, 0, "C", "x")[16].substr(0, 5), " 10: ");
}

TEST(PwxFiles, FileNames) {
    const struct {
        std::string chosen, text, data;
    } cases[] = {
        {"/d/00_01_00.txd", "/d/00_01_00.txd", "/d/00_01_00.tab"},
        // A name chosen as the data file keeps its text file beside it.
        {"/d/a.tab", "/d/a.txd", "/d/a.tab"},
        {"/d/a.TAB", "/d/a.txd", "/d/a.tab"},
        {"/d/a.txt", "/d/a.txt", "/d/a.tab"},
        {"/d/a", "/d/a", "/d/a.tab"},
        {"/d.x/a", "/d.x/a", "/d.x/a.tab"},
    };
    for (const auto& c : cases) {
        const TPwxFileNames names = PwxFileNames(c.chosen);
        EXPECT_EQ(names.Text, c.text) << c.chosen;
        EXPECT_EQ(names.Data, c.data) << c.chosen;
    }
}

class PwxExport : public FrameFixture {
protected:
    TTypeWindowHost Host;
    std::string SaveAsFile;
    std::vector<std::string> Proposed;

    void SetUp() override {
        FrameFixture::SetUp();
        TDialogAnswers::Set<TSaveFileDialog>([this](const TOpenDialogRequest& r, const std::string& start, std::string& name) {
            EXPECT_EQ(r.Filter, "PWX text files(*.txd)|*.txd|PWX data files(*.tab)|*.tab|All (*.*)|*.*");
            EXPECT_EQ(r.DefaultExt, "*.txd");
            Proposed.push_back(start);
            if (SaveAsFile.empty()) return false;
            name = SaveAsFile;
            return true;
        });
    }
    void TearDown() override {
        Host.Close();
        TDialogAnswers::Clear<TSaveFileDialog>();
        FrameFixture::TearDown();
    }
    TfrmTypeObject* OpenPwxType() {
        uint8_t formats[100] = {};
        TTypeObjectData type(formats);
        FillSampleType(type);  // two languages
        FillPwxType(type.GetTypeData());
        type.GetTypeData().SetLanguageCount(2);
        type.GetTypeData().SetParamNameRaw(0, 1, "P1 Tempo");
        type.GetTypeData().SetParamNameRaw(1, 1, "P2  Grenze");
        type.GetTypeData().SetParamNameRaw(2, 1, "P3 Rest");
        const std::string path = (Root / "pwx.mtp").string();
        EXPECT_TRUE(type.SaveToFile(path));
        return Host.Open(path);
    }
};

TEST_F(PwxExport, WritesBothFilesInTheWindowsLanguage) {
    TfrmTypeObject* w = OpenPwxType();
    ASSERT_NE(w, nullptr);
    w->CurrentLanguage = 1;  // as the Language submenu sets it
    const struct {
        const char* chosen;
        const char* text;
        const char* data;
    } cases[] = {{"set.txd", "set.txd", "set.tab"}, {"other.tab", "other.txd", "other.tab"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        SaveAsFile = (Root / c.chosen).string();
        w->mnuExportPWX->trigger();
        const std::string text = WithoutHeader(ReadFileBytes(Root / c.text));
        EXPECT_EQ(text, "\r\n4\r\n8\r\nConfiguration\r\n  1: P1 Tempo\r\n  2: P2 Grenze\r\n  3: P3 Rest\r\n");
        EXPECT_EQ(WithoutHeader(ReadFileBytes(Root / c.data)),
                  "\r\n1:[1]\r\n2:[0][0][0][0]\r\n13:[8]\r\n14:[0]\r\n20:[1][2][1][44][171][205][0][5]\r\n");
    }
    EXPECT_EQ(Proposed, (std::vector<std::string>{"00_01_00.txd", "00_01_00.txd"}));
    EXPECT_TRUE(Messages.empty());
    EXPECT_FALSE(w->Modified);
    // Cancelled: nothing written.
    SaveAsFile.clear();
    fs::remove(Root / "set.tab");
    w->mnuExportPWX->trigger();
    EXPECT_FALSE(fs::exists(Root / "set.tab"));
}

TEST_F(PwxExport, AFailedTextFileStopsBeforeTheDataFile) {
    TfrmTypeObject* w = OpenPwxType();
    ASSERT_NE(w, nullptr);
    // The text file's name is taken by a folder.
    fs::create_directory(Root / "busy.txd");
    SaveAsFile = (Root / "busy.txd").string();
    w->mnuExportPWX->trigger();
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{Host.Main->App.Text(Msg::CannotSaveFile, SaveAsFile) + "\r\nIs a directory"});
    EXPECT_FALSE(fs::exists(Root / "busy.tab"));
    // The data file's name is taken: the text file is written, the failure named.
    Messages.clear();
    fs::create_directory(Root / "late.tab");
    SaveAsFile = (Root / "late.txd").string();
    w->mnuExportPWX->trigger();
    EXPECT_TRUE(fs::is_regular_file(Root / "late.txd"));
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{Host.Main->App.Text(Msg::CannotSaveFile, (Root / "late.tab").string()) +
                                                       "\r\nIs a directory"});
}

}  // namespace
