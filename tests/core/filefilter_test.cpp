// The file dialogs' filter texts as name filters: each kind's patterns once,
// at the end in parentheses apart by spaces (how file dialogs read them);
// and every filter text of the program shows its patterns once.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "FileFilter.h"

namespace {

using Strings = std::vector<std::string>;

TEST(FileFilter, EachKindShowsItsPatternsOnce) {
    struct Case {
        const char* Name;
        const char* Filter;
        Strings Result;
    };
    const Case cases[] = {
        {"named already", "Type File (*.mtp)|*.mtp|All Files (*.*)|*.*", {"Type File (*.mtp)", "All Files (*.*)"}},
        {"named with commas", "Intel Hex File (*.hex,*.h86)|*.hex;*.h86", {"Intel Hex File (*.hex *.h86)"}},
        {"named with semicolons", "S Record/Intel Hex File (*.S;*.hex;*.h86)|*.S;*.hex;*.h86",
         {"S Record/Intel Hex File (*.S *.hex *.h86)"}},
        {"named in another order", "Hex (*.h86, *.hex)|*.hex;*.h86", {"Hex (*.h86 *.hex)"}},
        {"named without a space before", "PWX text files(*.txd)|*.txd", {"PWX text files(*.txd)"}},
        {"the text is the pattern", "*.csv|*.csv|All (*.*)|*.*", {"*.csv", "All (*.*)"}},
        {"not named", "Data files|*.dat;*.bin", {"Data files (*.dat *.bin)"}},
        {"other patterns named", "Type File (*.mtp)|*.mtp;*.bak", {"Type File (*.mtp) (*.mtp *.bak)"}},
        {"a pattern of a different case", "Source (*.s)|*.S", {"Source (*.s) (*.S)"}},
        {"an empty text", "|*.a;*.b", {"*.a *.b"}},
        {"no patterns", "Anything|", {"Anything"}},
        {"a last text without patterns", "A (*.a)|*.a|B", {"A (*.a)"}},
        {"nothing", "", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(NameFilters(c.Filter), c.Result) << c.Name;
}

// The string literals of a C++ source, adjacent ones joined as the compiler
// joins them; comments, character literals and raw strings skipped.
Strings Literals(const std::string& source) {
    Strings literals;
    std::string joined;
    bool open = false;  // a literal was read; whitespace may lead to the next
    size_t i = 0;
    auto close = [&] {
        if (open) literals.push_back(joined);
        joined.clear();
        open = false;
    };
    while (i < source.size()) {
        const char c = source[i];
        if (source.compare(i, 2, "//") == 0) {
            i = source.find('\n', i);
            if (i == std::string::npos) break;
        } else if (source.compare(i, 2, "/*") == 0) {
            i = source.find("*/", i + 2);
            if (i == std::string::npos) break;
            i += 2;
        } else if (c == 'R' && i + 1 < source.size() && source[i + 1] == '"' &&
                   (i == 0 || !(std::isalnum(static_cast<unsigned char>(source[i - 1])) || source[i - 1] == '_'))) {
            close();
            const size_t paren = source.find('(', i);
            const std::string end = ")" + source.substr(i + 2, paren - i - 2) + "\"";
            i = source.find(end, paren);
            if (i == std::string::npos) break;
            i += end.size();
        } else if (c == '\'') {
            close();
            for (++i; i < source.size() && source[i] != '\''; ++i)
                if (source[i] == '\\') ++i;
            ++i;
        } else if (c == '"') {
            for (++i; i < source.size() && source[i] != '"'; ++i) {
                if (source[i] == '\\') ++i;
                joined += source[i];
            }
            ++i;
            open = true;
        } else {
            if (!std::isspace(static_cast<unsigned char>(c))) close();
            ++i;
        }
    }
    close();
    return literals;
}

Strings Split(const std::string& text, const std::string& separators) {
    Strings parts;
    std::string part;
    for (char c : text + separators.front()) {
        if (separators.find(c) != std::string::npos) {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    return parts;
}

TEST(FileFilter, EveryFilterOfTheProgramShowsItsPatternsOnce) {
    // The patterns a file dialog takes from a name filter: those in its last
    // parentheses, else the whole text, apart by spaces.
    const std::regex qtFilter(R"(^(.*)\(([a-zA-Z0-9_.,*? +;#\-\[\]@\{\}/!<>\$%&=^~:\|]*)\)$)");
    int filters = 0;
    for (const char* folder : {"core", "frame", "managers", "typeeditor", "loader", "link", "platform", "sim"}) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(std::string(QX_SOURCE_DIR) + "/" + folder)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".cpp" && ext != ".h") continue;
            std::ifstream in(entry.path());
            std::stringstream source;
            source << in.rdbuf();
            for (const std::string& literal : Literals(source.str())) {
                if (literal.find("|*") == std::string::npos) continue;
                ++filters;
                const Strings pairs = Split(literal, "|");
                const Strings names = NameFilters(literal);
                ASSERT_EQ(names.size(), pairs.size() / 2) << literal;
                for (size_t k = 0; k < names.size(); ++k) {
                    const std::string& name = names[k];
                    const Strings patterns = Split(pairs[2 * k + 1], ";");
                    const Strings words = Split(name, " ,;()");
                    for (const std::string& p : patterns)
                        EXPECT_EQ(std::count(words.begin(), words.end(), p), 1)
                            << entry.path().filename() << ": " << name << " shows " << p;
                    std::smatch match;
                    const std::string read = std::regex_match(name, match, qtFilter) ? match[2].str() : name;
                    const Strings taken = Split(read, " ");
                    EXPECT_EQ(std::set<std::string>(taken.begin(), taken.end()),
                              std::set<std::string>(patterns.begin(), patterns.end()))
                        << entry.path().filename() << ": " << name;
                }
            }
        }
    }
    // The type, menu, program, CSV, firmware, memory dump, PWX, shortcut
    // and application files.
    EXPECT_GE(filters, 12);
}

}  // namespace
