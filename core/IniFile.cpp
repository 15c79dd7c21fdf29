#include "IniFile.h"

#include "IntText.h"
#include "SafeFile.h"

namespace {

std::string Fold(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

void TMemIniFile::Clear() {
    Sections.clear();
    SectionIndex.clear();
}

bool TMemIniFile::LoadFromFile(const std::string& path) {
    Clear();
    const auto bytes = ReadWholeFile(path, MaxFileSize);
    if (!bytes) return false;
    SetText(*bytes);
    return true;
}

void TMemIniFile::SetText(std::string_view text) {
    Clear();
    Section* current = nullptr;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::string_view trimmed = TrimBlanks(line);
        if (trimmed.empty() || trimmed.front() == ';') continue;
        if (trimmed.front() == '[' && trimmed.back() == ']' && trimmed.size() >= 2) {
            current = &Obtain(TrimBlanks(trimmed.substr(1, trimmed.size() - 2)));
            continue;
        }
        const size_t eq = line.find('=');
        if (!current || eq == std::string_view::npos) continue;
        const std::string_view key = TrimBlanks(line.substr(0, eq));
        std::string folded = Fold(key);
        if (current->Index.count(folded)) continue;  // the first of two equal keys holds
        current->Index.emplace(std::move(folded), current->Values.size());
        current->Values.emplace_back(std::string(key), std::string(line.substr(eq + 1)));
    }
}

bool TMemIniFile::GetText(std::string& text) const {
    text.clear();
    for (const auto& s : Sections) {
        if (HasLineBreak(s.Name) || s.Name.find(']') != std::string::npos || TrimBlanks(s.Name) != s.Name)
            return false;
        text += '[';
        text += s.Name;
        text += "]\r\n";
        for (const auto& [key, value] : s.Values) {
            const std::string_view k = key;
            if (k.empty() || HasLineBreak(k) || k.find('=') != std::string_view::npos || TrimBlanks(k) != k ||
                k.front() == '[' || k.front() == ';' || HasLineBreak(value))
                return false;
            text += key;
            text += '=';
            text += value;
            text += "\r\n";
        }
        text += "\r\n";
    }
    return true;
}

bool TMemIniFile::SaveToFile(const std::string& path, std::string* error) const {
    std::string text;
    if (!GetText(text)) {
        if (error) *error = "a name or value cannot be written as ini text";
        return false;
    }
    return ReplaceFileContents(path, text, error);
}

const TMemIniFile::Section* TMemIniFile::Find(std::string_view section) const {
    const auto it = SectionIndex.find(Fold(section));
    return it == SectionIndex.end() ? nullptr : &Sections[it->second];
}

TMemIniFile::Section& TMemIniFile::Obtain(std::string_view section) {
    std::string folded = Fold(section);
    const auto it = SectionIndex.find(folded);
    if (it != SectionIndex.end()) return Sections[it->second];
    SectionIndex.emplace(std::move(folded), Sections.size());
    Sections.push_back(Section{std::string(section), {}, {}});
    return Sections.back();
}

void TMemIniFile::Reindex() {
    SectionIndex.clear();
    for (size_t i = 0; i < Sections.size(); ++i) {
        SectionIndex.emplace(Fold(Sections[i].Name), i);
        auto& s = Sections[i];
        s.Index.clear();
        for (size_t k = 0; k < s.Values.size(); ++k) s.Index.emplace(Fold(s.Values[k].first), k);
    }
}

bool TMemIniFile::SectionExists(std::string_view section) const { return Find(section) != nullptr; }

bool TMemIniFile::ValueExists(std::string_view section, std::string_view key) const {
    const Section* s = Find(section);
    return s && s->Index.count(Fold(key));
}

std::string TMemIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    if (const Section* s = Find(section)) {
        const auto it = s->Index.find(Fold(key));
        if (it != s->Index.end()) return s->Values[it->second].second;
    }
    return std::string(def);
}

int64_t TMemIniFile::ReadInteger(std::string_view section, std::string_view key, int64_t def) const {
    if (!ValueExists(section, key)) return def;
    // A number written by hand may carry blanks after it.
    const auto value = ReadIntText(TrimBlanks(ReadString(section, key, "")));
    return value ? *value : def;
}

void TMemIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Section& s = Obtain(section);
    std::string folded = Fold(key);
    const auto it = s.Index.find(folded);
    if (it != s.Index.end()) {
        s.Values[it->second].second = std::string(value);
        return;
    }
    s.Index.emplace(std::move(folded), s.Values.size());
    s.Values.emplace_back(std::string(key), std::string(value));
}

void TMemIniFile::WriteInteger(std::string_view section, std::string_view key, int64_t value) {
    WriteString(section, key, std::to_string(value));
}

std::vector<std::string> TMemIniFile::ReadSections() const {
    std::vector<std::string> names;
    names.reserve(Sections.size());
    for (const auto& s : Sections) names.push_back(s.Name);
    return names;
}

std::vector<std::string> TMemIniFile::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    if (const Section* s = Find(section))
        for (const auto& kv : s->Values) keys.push_back(kv.first);
    return keys;
}

void TMemIniFile::EraseSection(std::string_view section) {
    const auto it = SectionIndex.find(Fold(section));
    if (it == SectionIndex.end()) return;
    Sections.erase(Sections.begin() + static_cast<std::ptrdiff_t>(it->second));
    Reindex();
}

void TMemIniFile::DeleteKey(std::string_view section, std::string_view key) {
    const auto it = SectionIndex.find(Fold(section));
    if (it == SectionIndex.end()) return;
    Section& s = Sections[it->second];
    const auto k = s.Index.find(Fold(key));
    if (k == s.Index.end()) return;
    s.Values.erase(s.Values.begin() + static_cast<std::ptrdiff_t>(k->second));
    s.Index.clear();
    for (size_t i = 0; i < s.Values.size(); ++i) s.Index.emplace(Fold(s.Values[i].first), i);
}
