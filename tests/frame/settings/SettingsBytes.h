// Bytes written out by hand for the settings file tests, with and without
// widgets.
#pragma once

#include <string>
#include <string_view>

// Bytes from a text of hexadecimal pairs; blanks and line breaks between
// them are ignored.
inline std::string HexBytes(std::string_view hex) {
    std::string out;
    int high = -1;
    for (char c : hex) {
        int v = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (v < 0) continue;
        if (high < 0) high = v;
        else out.push_back(static_cast<char>(high * 16 + v)), high = -1;
    }
    return out;
}

// The settings file of the default record, written out field by field: the
// ident, ten directory entries and the payloads in the order the program
// writes them. The dialog placements are centred on an 800 x 800 screen (the offscreen one).
inline std::string DefaultSettingsFile() {
    return HexBytes(
        // ident "QX318 APP", NUL-padded to 14 bytes; 10 sections
        "51 58 33 31 38 20 41 50 50 00 00 00 00 00  0A 00"
        // directory: id, sub-id, size
        "10 10 00 00 0D 00 00 00   11 10 00 00 00 00 00 00"
        "12 10 00 00 64 00 00 00   13 10 00 00 11 00 00 00"
        "14 10 00 00 66 00 00 00   18 10 00 00 33 00 00 00"
        "15 10 00 00 08 00 00 00   16 10 00 00 05 00 00 00"
        "17 10 00 00 B0 00 00 00   01 01 00 00 05 00 00 00"
        // 0x1010: fixed tool bars, six reopen flags, language -1, reserved
        "00  00 00 00 00 00 00  FF FF FF FF  00 00"
        // 0x1011: no units. 0x1012: 100 display formats, all decimal
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
        // 0x1013: main window top 0, left 0, 640 x 480, maximized
        "00 00 00 00  00 00 00 00  80 02 00 00  E0 01 00 00  02"
        // 0x1014: the six manager placements
        "0A 00 00 00  0A 00 00 00  18 01 00 00  E0 01 00 00  00"
        "1E 00 00 00  1E 00 00 00  18 01 00 00  E0 01 00 00  00"
        "32 00 00 00  32 00 00 00  E0 01 00 00  E0 01 00 00  00"
        "46 00 00 00  46 00 00 00  18 01 00 00  E0 01 00 00  00"
        "5A 00 00 00  5A 00 00 00  18 01 00 00  E0 01 00 00  00"
        "6E 00 00 00  6E 00 00 00  E0 01 00 00  E0 01 00 00  00"
        // 0x1018: three dialogs, 550 x 450 at top 175, left 125
        "AF 00 00 00  7D 00 00 00  26 02 00 00  C2 01 00 00  00"
        "AF 00 00 00  7D 00 00 00  26 02 00 00  C2 01 00 00  00"
        "AF 00 00 00  7D 00 00 00  26 02 00 00  C2 01 00 00  00"
        // 0x1015: COM port 1, baud index 1
        "01 00 00 00  01 00 00 00"
        // 0x1016: filter index 4, four empty paths
        "04 00 00 00 00"
        // 0x1017: eight tool bars: visible, docked, left, top, 100, 100, site 0
        "01 00  00 00 00 00  00 00 00 00  64 00 00 00  64 00 00 00  00 00 00 00"
        "01 00  00 00 00 00  14 00 00 00  64 00 00 00  64 00 00 00  00 00 00 00"
        "01 00  64 00 00 00  14 00 00 00  64 00 00 00  64 00 00 00  00 00 00 00"
        "01 00  64 00 00 00  00 00 00 00  64 00 00 00  64 00 00 00  00 00 00 00"
        "01 00  C8 00 00 00  00 00 00 00  64 00 00 00  64 00 00 00  00 00 00 00"
        "01 00  2C 01 00 00  00 00 00 00  64 00 00 00  64 00 00 00  00 00 00 00"
        "01 00  FA 00 00 00  14 00 00 00  64 00 00 00  64 00 00 00  00 00 00 00"
        "01 00  00 00 00 00  28 00 00 00  64 00 00 00  64 00 00 00  00 00 00 00"
        // 0x0101: five empty recent files
        "00 00 00 00 00");
}
