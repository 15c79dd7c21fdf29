// The type window's PWX export command with its failures.
#include <QApplication>

#include "../frame/FrameTest.h"
#include "MessageIds.h"
#include "TextHelpers.h"
#include "TypePwx.h"
#include "TypeSamples.h"
#include "TypeWindowHost.h"
#include "core/PwxSamples.h"

namespace {

using Lines = std::vector<std::string>;

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
