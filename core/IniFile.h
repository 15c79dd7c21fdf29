// In-memory ini text: the language file, menu files and <program>.ini.
//
// Sections in square brackets, then one "key=value" line per value. Section
// and key names are matched without regard to case (ASCII letters); values are
// kept byte for byte. Lines may end in CR LF or LF; lines starting with ';'
// are comments. Text is written with CR LF, a blank line after each section.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TMemIniFile {
public:
    // Ini files are small: a larger file is refused rather than read.
    static constexpr uint64_t MaxFileSize = 64ull << 20;

    TMemIniFile() = default;

    // Replaces the content with the file's; a missing, unreadable or oversized
    // file leaves empty content and gives false.
    bool LoadFromFile(const std::string& path);
    // Writes the content safely over the file. False (the file untouched) when
    // it cannot be written or a name or value cannot stand in ini text.
    bool SaveToFile(const std::string& path, std::string* error = nullptr) const;

    void SetText(std::string_view text);
    // False when a name or value cannot be written as ini text (a line break
    // in a value, '=' in a key, ']' in a section name, blanks around a
    // section name or key, ...).
    bool GetText(std::string& text) const;

    void Clear();
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    // The value read as an integer text (blanks around it allowed); def when
    // missing or not a number.
    int64_t ReadInteger(std::string_view section, std::string_view key, int64_t def) const;
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int64_t value);

    std::vector<std::string> ReadSections() const;
    std::vector<std::string> ReadSection(std::string_view section) const;  // key names
    void EraseSection(std::string_view section);
    void DeleteKey(std::string_view section, std::string_view key);

private:
    struct Section {
        std::string Name;
        std::vector<std::pair<std::string, std::string>> Values;
        std::unordered_map<std::string, size_t> Index;  // folded key -> position in Values
    };
    std::vector<Section> Sections;
    std::unordered_map<std::string, size_t> SectionIndex;  // folded name -> position

    const Section* Find(std::string_view section) const;
    Section& Obtain(std::string_view section);
    void Reindex();
};
