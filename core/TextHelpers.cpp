#include "TextHelpers.h"

#include <algorithm>
#include <cstring>

std::string DoubleBackslashes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out += c;
        if (c == '\\') out += '\\';
    }
    return out;
}

std::string IntToBin(uint32_t value, int bytes) {
    if (bytes < 0 || bytes > 4) bytes = 4;
    std::string out;
    out.reserve(static_cast<size_t>(8 * bytes + 1));
    for (int bit = 8 * bytes - 1; bit >= 0; --bit) out += ((value >> bit) & 1u) ? '1' : '0';
    out += 'b';
    return out;
}

std::string LeftStr(std::string_view text, int n) {
    if (n <= 0) return {};
    return std::string(text.substr(0, static_cast<size_t>(n)));
}

std::string RemoveAmpersands(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '&') out += c;
    return out;
}

std::string ReplaceChar(std::string_view text, char from, char to) {
    std::string out(text);
    for (char& c : out)
        if (c == from) c = to;
    return out;
}

std::string ButtonHintFromCaption(std::string_view caption) {
    std::string out(caption);
    const size_t at = out.find('&');
    if (at != std::string::npos) out.erase(at, 1);
    return out;
}

TTextGrid::TTextGrid(int cols, int rows)
    : Cells(static_cast<size_t>(cols < 0 ? 0 : cols), std::vector<std::string>(static_cast<size_t>(rows < 0 ? 0 : rows))) {}

void PadGridColumns(TTextGrid& grid) {
    for (auto& column : grid.Cells) {
        size_t longest = 0;
        for (const auto& cell : column) longest = std::max(longest, cell.size());
        for (auto& cell : column) cell.resize(longest, ' ');
    }
}

void GridToRtf(std::vector<std::string>& list, const TTextGrid& grid, int width, int gap) {
    const int cols = grid.ColCount();
    const int rows = grid.RowCount();
    if (rows == 0) return;
    const std::string blanks(static_cast<size_t>(gap > 0 ? gap : 0), ' ');
    int first = 1;
    while (first < cols) {
        // The columns of this group: at least the first, then while they fit.
        // (Also when the row title alone already reaches the width.)
        long w = static_cast<long>(grid.Cell(0, 0).size());
        int end = first;
        while (end < cols && (w < width || end == first)) {
            long next = w;
            if (next > 0) next += gap;
            next += static_cast<long>(grid.Cell(end, 0).size());
            if (next >= width && end > first) break;
            w = next;
            ++end;
        }
        for (int r = 0; r < rows; ++r) {
            std::string plain = grid.Cell(0, r);
            std::string rtf = "\\b " + plain + "\\b0 ";
            for (int k = first; k < end; ++k) {
                if (!plain.empty()) {
                    plain += blanks;
                    rtf += blanks;
                }
                const std::string& cell = grid.Cell(k, r);
                plain += cell;
                rtf += r >= 1 ? cell : "\\b " + cell + "\\b0 ";
            }
            list.push_back(rtf + "\\par ");
        }
        list.emplace_back("\\par ");
        first = end;
    }
}

void SetFixedText(char* field, size_t size, std::string_view text) {
    if (size == 0) return;
    std::memset(field, 0, size);
    text = text.substr(0, text.find('\0'));  // a NUL inside the text ends it: zeros follow
    std::memcpy(field, text.data(), std::min(text.size(), size - 1));
}

std::string FixedText(const char* field, size_t size) { return std::string(field, ::strnlen(field, size)); }

std::string FixedText(const char* field, size_t size, size_t limit) {
    return std::string(field, ::strnlen(field, std::min(size, limit)));
}

std::vector<std::string> SplitTextLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        size_t cut = end;
        if (cut > start && text[cut - 1] == '\r') --cut;
        lines.emplace_back(text.substr(start, cut - start));
        start = end + 1;
    }
    return lines;
}

std::string JoinCrLfLines(const std::vector<std::string>& lines) {
    size_t size = 0;
    for (const std::string& l : lines) size += l.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& l : lines) {
        text += l;
        text += "\r\n";
    }
    return text;
}
