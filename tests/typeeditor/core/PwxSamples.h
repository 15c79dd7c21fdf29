// What the PWX tests share: the header check and a small type.
#pragma once

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "Typedata.h"

// The header's third line: "#Saved:  " and the build's date and time.
inline const std::regex StampLine(R"(#Saved:  (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 1-3][0-9] [0-9]{4} [0-2][0-9]:[0-5][0-9]:[0-6][0-9]\r\n)");

// The file bytes with line 3 taken out (checked by its pattern) and line 1
// checked to be a comment naming no one but this program's authors.
inline std::string WithoutHeader(const std::string& bytes) {
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
inline void FillPwxType(TTypeData6& type) {
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
