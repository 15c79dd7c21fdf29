// The PWX export's files: both against bytes written out by hand, the line
// numbering of many parameters and the file names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../TypeSamples.h"
#include "PwxSamples.h"
#include "TextHelpers.h"
#include "TypePwx.h"

namespace {

using Lines = std::vector<std::string>;

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

}  // namespace
