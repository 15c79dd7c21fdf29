// The two files the PWX configuration system reads for a type: the text file
// (.txd) with the parameter texts and the data file (.tab) with the switch
// mask and the parameter values of the first data set. Lines end in CR LF.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TTypeData6;

// When this program was built, as the third line gives it:
// "Feb  3 2022 09:38:42".
std::string PwxBuildStamp();

// The lines of the text file: the header, then the switch heading (the
// program's text for "Configuration") and one line per parameter in the
// given language.
std::vector<std::string> PwxTextLines(const TTypeData6& type, int32_t language, std::string_view configuration,
                                      std::string_view stamp);
// The lines of the data file: the header, the fixed entries, then the mask
// and the values as "[high][low]" pairs, eight pairs a line.
std::vector<std::string> PwxDataLines(const TTypeData6& type, std::string_view stamp);

// The two file names for the name chosen in the save dialog: the text file
// under that name (base + ".txd" when it was chosen as a ".tab" file), the
// data file always base + ".tab".
struct TPwxFileNames {
    std::string Text;
    std::string Data;
};
TPwxFileNames PwxFileNames(const std::string& chosen);
