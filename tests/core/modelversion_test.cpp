// The unit's model-version text and its major digit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ModelVersion.h"

TEST(ModelVersion, MajorDigit) {
    struct Case {
        std::string text;
        int major;
    };
    const Case cases[] = {
        {"V2.7", 2}, {"v2", 2}, {"V9.99 beta", 9}, {"V0", 0},
        {"X2.7", -1}, {"V.7", -1}, {"V", -1}, {"", -1}, {" V2.7", -1}, {"2.7", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseModelVersion(c.text), c.major) << c.text;
}

TEST(ModelVersion, RecordHoldsFifteenCharactersNulPadded) {
    _QXModelVersion version;
    EXPECT_EQ(version.GetText(), "");
    EXPECT_EQ(ParseModelVersion(version.GetText()), -1);

    version.SetText("V2.7");
    EXPECT_EQ(version.GetText(), "V2.7");
    EXPECT_EQ(ParseModelVersion(version.GetText()), 2);
    const char expected[16] = {'V', '2', '.', '7'};
    EXPECT_EQ(std::memcmp(version.Text, expected, 16), 0);

    version.SetText("V3.0123456789ABCDEF");
    EXPECT_EQ(version.GetText(), "V3.0123456789AB");
    EXPECT_EQ(version.Text[15], 0);

    // Sixteen bytes without a NUL, as a unit could send them.
    std::memset(version.Text, 'V', 16);
    EXPECT_EQ(version.GetText(), std::string(15, 'V'));

    version.Clear();
    EXPECT_EQ(version.GetText(), "");
    const char zeros[16] = {};
    EXPECT_EQ(std::memcmp(version.Text, zeros, 16), 0);
}
