#include "TypePwx.h"

#include <strings.h>

#include "Typedata.h"

namespace {

// Line 1 carries the rights notice of this program's makers.
constexpr const char* RightsLine = "#(c) The QX318 tool set authors. All rights reserved.";

std::vector<std::string> Header(std::string_view stamp) {
    return {RightsLine, "#Konfiguration PWX System", "#Saved:  " + std::string(stamp)};
}

// Runs of two or more blanks become one.
std::string SingleBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ' || out.empty() || out.back() != ' ') out += c;
    return out;
}

std::string Pair(uint16_t value) {
    return "[" + std::to_string(value >> 8) + "][" + std::to_string(value & 0xFF) + "]";
}

// (n + 1) x 2: the mask and every value, two bytes each.
std::string ByteCount(const TTypeData6& type) { return std::to_string((int64_t(type.GetParameterCount()) + 1) * 2); }

}  // namespace

std::string PwxBuildStamp() { return __DATE__ " " __TIME__; }

std::vector<std::string> PwxTextLines(const TTypeData6& type, int32_t language, std::string_view configuration,
                                      std::string_view stamp) {
    std::vector<std::string> lines = Header(stamp);
    lines.emplace_back();
    lines.emplace_back("4");
    lines.push_back(ByteCount(type));
    lines.emplace_back(configuration);
    for (int32_t p = 0; p < type.GetParameterCount(); ++p) {
        std::string number = std::to_string(p + 1);
        if (number.size() < 3) number.insert(0, 3 - number.size(), ' ');
        lines.push_back(number + ": " + SingleBlanks(type.GetParamName(p, language)));
    }
    return lines;
}

std::vector<std::string> PwxDataLines(const TTypeData6& type, std::string_view stamp) {
    std::vector<std::string> lines = Header(stamp);
    lines.emplace_back();
    lines.emplace_back("1:[1]");
    lines.emplace_back("2:[0][0][0][0]");
    lines.push_back("13:[" + ByteCount(type) + "]");
    lines.emplace_back("14:[0]");
    lines.push_back("20:" + Pair(type.GetSwitchMask(0)));
    int64_t line = 21;
    for (int32_t p = 0; p < type.GetParameterCount(); ++p) {
        // The first line holds the mask and seven values, every further one
        // eight values.
        if ((p + 1) % 8 == 0) lines.push_back(std::to_string(line++) + ":");
        lines.back() += Pair(type.GetValue(p, 0));
    }
    return lines;
}

TPwxFileNames PwxFileNames(const std::string& chosen) {
    const size_t slash = chosen.rfind('/');
    const size_t dot = chosen.rfind('.');
    const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string base = hasExt ? chosen.substr(0, dot) : chosen;
    const bool isTab = hasExt && strcasecmp(chosen.c_str() + dot, ".tab") == 0;
    return {isTab ? base + ".txd" : chosen, base + ".tab"};
}

