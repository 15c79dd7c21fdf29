// The loader's command-line checks with their texts, and loading the file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "LoaderTestSupport.h"

namespace fs = std::filesystem;

namespace {

class LoaderCommandLine : public ::testing::Test {
protected:
    fs::path Dir;
    void SetUp() override {
        Dir = fs::temp_directory_path() / ("qxloader-cl-" + std::to_string(::getpid()));
        fs::create_directories(Dir / "one.dot");
        fs::create_directories(Dir / "two.dots.here");
    }
    void TearDown() override { fs::remove_all(Dir); }

    std::string Write(const std::string& name, const std::string& bytes) {
        const fs::path path = Dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
};

struct Run {
    TLoaderProgram Program;
    TFakeUi Ui;
};

std::unique_ptr<Run> Check(const std::vector<std::string>& args) {
    auto run = std::make_unique<Run>();
    run->Program.CheckCommandLine(args, run->Ui);
    return run;
}

}  // namespace

TEST_F(LoaderCommandLine, BoxesOfTheArgumentChecks) {
    const std::string hex = Write("fw.hex", ":00000001FF\r\n");
    const std::string txt = Write("fw.txt", "x");
    const struct {
        std::vector<std::string> Args;
        const char* Text;
        const char* Caption;
        TMsgIcon Icon;
    } cases[] = {
        {{}, kUsageText, "SRecord/Hex/BIN loader V6.0", TMsgIcon::Warning},
        {{"about"}, kAboutText, "Hidden information", TMsgIcon::Information},
        {{"COM1"}, "Incorrect number of Parameters", "SRecord/Hex/BIN loader - Error", TMsgIcon::Stop},
        {{"COM1", "57600"}, "Incorrect number of parameters.", "SRecord/Hex loader - Error", TMsgIcon::Stop},
        {{"COM1", "57600", "MAIN"}, "Incorrect number of parameters.", "SRecord/Hex loader - Error", TMsgIcon::Stop},
        {{"COM1", "57600", "MAIN", hex, "CONTROL", "x"}, "Incorrect number of parameters.",
         "SRecord/Hex loader - Error", TMsgIcon::Stop},
        {{"COM1", "fast", "MAIN", hex}, "Invalid Parameter (2)", "SRecord/Hex loader - Error", TMsgIcon::Stop},
        {{"COM1", "0", "MAIN", hex}, "Invalid Parameter (2)", "SRecord/Hex loader - Error", TMsgIcon::Stop},
        {{"COM1", "-9600", "MAIN", hex}, "Invalid Parameter (2)", "SRecord/Hex loader - Error", TMsgIcon::Stop},
        {{"COM1", "57600", "main", hex}, "Invalid Parameter (2)", "SRecord/Hex loader - Error", TMsgIcon::Stop},
        {{"COM1", "57600", "89s825x", txt}, "Invalid Parameter (2)", "SRecord/Hex loader - Error", TMsgIcon::Stop},
        {{"COM1", "57600", "MAIN", txt}, "Wrong file extension", "SRecord/Hex/BIN loader - Error", TMsgIcon::Stop},
        {{"COM1", "57600", "MAIN", (Dir / "missing.hex").string()}, "Can't open specified file !",
         "SRecord/Hex/BIN loader - Error", TMsgIcon::Stop},
        {{"COM1", "57600", "MAIN", Dir.string() + "/one.dot.hex"}, "Can't open specified file !",
         "SRecord/Hex/BIN loader - Error", TMsgIcon::Stop},
    };
    for (const auto& k : cases) {
        const auto run = Check(k.Args);
        ASSERT_EQ(run->Ui.Boxes.size(), 1u) << k.Text;
        EXPECT_EQ(run->Ui.Boxes[0].Text, k.Text);
        EXPECT_EQ(run->Ui.Boxes[0].Caption, k.Caption) << k.Text;
        EXPECT_EQ(run->Ui.Boxes[0].Icon, k.Icon) << k.Text;
        EXPECT_TRUE(run->Program.NoDownload) << k.Text;
    }
}

TEST_F(LoaderCommandLine, UsageTextWordForWord) {
    EXPECT_STREQ(kUsageText,
                 "Parameters required!\r\n        Param 1: Comm Port - Ex.: COM1\r\n        Param 2: Badrate - "
                 "Ex.: 115200\r\n        Param 3: Download type - Ex.:[MAIN]/[USER]/[JTAG]/[89S825x]/[850ESHx2]/"
                 "[850ESJx3]\r\n        Param 4: File to Download - Ex.: \"C:\\download "
                 "software\\download.code\"\r\n        Param 5: Control write options (optional) - Ex.:CONTROL or "
                 "VERIFY");
}

TEST_F(LoaderCommandLine, AcceptedArgumentsSetTheFileKind) {
    const std::string content = ":00000001FF\r\n";
    const struct {
        std::string File;
        const char* Type;
        std::vector<std::string> Option;
        int Kind;
    } cases[] = {
        {Write("a.hex", content), "MAIN", {}, 1},
        {Write("b.Hex", content), "USER", {"CONTROL"}, 1},
        {Write("c.h86", content), "850ESJx3", {}, 4},
        {Write("d.HEX", content), "850ESHx2", {"VERIFY"}, 4},
        {Write("e.h86", content), "INTR", {}, 1},
        {Write("f.s", content), "INTRMOD", {}, 0},
        {Write("g.srec", content), "JTAG", {"anything"}, 0},
        {Write("h.bin", content), "89S825x", {}, 2},
        // Folders with dots: the extension is that of the name part.
        {Write("one.dot/i.hex", content), "MAIN", {}, 1},
        {Write("two.dots.here/j.hex", content), "MAIN", {}, 1},
        {Write("two.dots.here/k.tar.hex", content), "MAIN", {}, 1},
    };
    for (const auto& k : cases) {
        std::vector<std::string> args = {"COM3", "57600", k.Type, k.File};
        args.insert(args.end(), k.Option.begin(), k.Option.end());
        const auto run = Check(args);
        EXPECT_TRUE(run->Ui.Boxes.empty()) << k.File << ": " << run->Ui.Boxes[0].Text;
        EXPECT_FALSE(run->Program.NoDownload) << k.File;
        EXPECT_EQ(run->Program.FileKind, k.Kind) << k.File;
        EXPECT_EQ(run->Program.ParamPort, "COM3");
        EXPECT_EQ(run->Program.BaudRate, 57600);
        EXPECT_EQ(run->Program.ParamOption, k.Option.empty() ? "" : k.Option[0]);
    }
}

TEST_F(LoaderCommandLine, RelativePathIsAccepted) {
    Write("rel.hex", ":00000001FF\r\n");
    const fs::path old = fs::current_path();
    fs::current_path(Dir);
    const auto run = Check({"COM1", "115200", "MAIN", "./rel.hex"});
    fs::current_path(old);
    EXPECT_TRUE(run->Ui.Boxes.empty());
    EXPECT_EQ(run->Program.TelegramLines, std::vector<std::string>{":00000001FF"});
}

TEST(LoaderFileExtension, TextAfterTheLastDotOfTheName) {
    EXPECT_EQ(TLoaderProgram::FileExtension("fw.hex"), "hex");
    EXPECT_EQ(TLoaderProgram::FileExtension("/a.b/c.d/fw.tar.S"), "S");
    EXPECT_EQ(TLoaderProgram::FileExtension("/a.b/fw"), "");
    EXPECT_EQ(TLoaderProgram::FileExtension("fw."), "");
}

TEST_F(LoaderCommandLine, BinaryFileInLinesOfSixtyFour) {
    std::string bytes;
    for (int k = 0; k < 128; ++k) bytes.push_back(static_cast<char>(k));
    const std::string file = Write("fw.bin", bytes);
    const auto run = Check({"COM1", "57600", "89S825x", file, "VERIFY"});
    ASSERT_TRUE(run->Ui.Boxes.empty());
    ASSERT_EQ(run->Program.TelegramLines.size(), 3u);
    EXPECT_EQ(run->Program.TelegramLines[0], bytes.substr(0, 64));
    EXPECT_EQ(run->Program.TelegramLines[1], bytes.substr(64));
    EXPECT_EQ(run->Program.TelegramLines[2], "");

    const auto odd = Check({"COM1", "57600", "89S825x", Write("odd.bin", bytes.substr(0, 70))});
    ASSERT_EQ(odd->Program.TelegramLines.size(), 2u);
    EXPECT_EQ(odd->Program.TelegramLines[1], bytes.substr(64, 6));
}

TEST_F(LoaderCommandLine, TextLinesLoseTheirLineEnds) {
    const std::string file = Write("fw.s", "S0030000FC\r\nS9030000FC\nS5030000FC");
    const auto run = Check({"COM1", "57600", "MAIN", file});
    EXPECT_EQ(run->Program.TelegramLines, (std::vector<std::string>{"S0030000FC", "S9030000FC", "S5030000FC"}));
}

TEST(LoaderShortenFileName, ShortensToTheWindowWidth) {
    // Font size 10: 9 pixels per character; 352 pixels leave 352 / 9 - 23 = 16 characters.
    EXPECT_EQ(TLoaderProgram::ShortenFileName("/tmp/a.hex", 352, 10), "/tmp/a.hex");
    EXPECT_EQ(TLoaderProgram::ShortenFileName("/home/user/firmware/fw.hex", 352, 10), "/home/user.../fw.hex");
    EXPECT_EQ(TLoaderProgram::ShortenFileName("/home/user/firmware/firmware.hex", 352, 10), "/hom.../firmware.hex");
    EXPECT_EQ(TLoaderProgram::ShortenFileName("/home/user/firmware/firmware1.hex", 352, 10), "firmware1.hex");
    EXPECT_EQ(TLoaderProgram::ShortenFileName("/home/user/firmware/fw.hex", 1000, 10), "/home/user/firmware/fw.hex");
}
