// The .mnu file: ini text with the item tree, states, InfNot ranges and, per
// language, three sections of texts named after the language.
#include <map>

#include "IniFile.h"
#include "QXMenu.h"
#include "TextHelpers.h"
#include "SystemCause.h"

namespace {

constexpr std::string_view General = "General";
constexpr std::string_view Connections = "Menu Connections";
constexpr std::string_view Ranges = "InfNot Ranges";
constexpr std::string_view States = "Menu States";

std::string NamesSection(std::string_view language) { return "Menu " + std::string(language); }
std::string HelpSection(std::string_view language) { return "Menu " + std::string(language) + " Help"; }
std::string InfNotSection(std::string_view language) { return "InfNot " + std::string(language); }
std::string LanguageKey(int64_t language) { return "Language" + std::to_string(language + 1); }
std::string Key(int64_t index) { return std::to_string(index); }

// In the file a help text of several lines stays on one line: CR is written
// as the byte 0xFF and LF as 0xFE.
std::string HelpToFile(const std::string& help) {
    return ReplaceChar(ReplaceChar(help, '\r', '\xFF'), '\n', '\xFE');
}
std::string HelpFromFile(const std::string& help) {
    return ReplaceChar(ReplaceChar(help, '\xFF', '\r'), '\xFE', '\n');
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// Section names are matched without regard to case of ASCII letters.
std::string Folded(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string Quoted(int32_t language, const std::string& name) {
    return "language " + std::to_string(language + 1) + " (\"" + name + "\")";
}

}  // namespace

// Each language's texts live in sections named after it: a name that is
// empty, ends in a blank (the reader drops it from a section name), cannot
// stand in a section name, or gives a section that another language or a
// fixed section already has, would lose or mix texts when the file is read.
bool TQXMenuData::CheckSections(std::string* error) const {
    auto fail = [error](const std::string& reason) {
        if (error) *error = reason;
        return false;
    };
    std::map<std::string, std::string> owners;  // folded section name -> who has it
    for (std::string_view fixed : {General, Connections, Ranges, States})
        owners.emplace(Folded(fixed), "the section \"" + std::string(fixed) + "\"");
    for (int32_t l = 0; l < GetLanguageCount(); ++l) {
        const std::string name = GetLanguageName(l);
        const std::string who = Quoted(l, name);
        if (name.empty()) return fail("Language " + std::to_string(l + 1) + " has no name.");
        if (HasLineBreak(name) || name.find(']') != std::string::npos)
            return fail("The name of " + who + " cannot stand in a section name.");
        if (name.back() == ' ' || name.back() == '\t') return fail("The name of " + who + " ends in a blank.");
        for (const std::string& section : {NamesSection(name), HelpSection(name), InfNotSection(name)}) {
            const auto [at, added] = owners.emplace(Folded(section), who);
            if (!added)
                return fail("The section \"" + section + "\" of " + who + " would be that of " + at->second +
                            ": every language needs a name of its own.");
        }
    }
    return true;
}

bool TQXMenuData::SaveToIni(TMemIniFile& ini, std::string* error) const {
    ini.Clear();
    if (!CheckSections(error)) return false;
    const int32_t items = GetMenuItemCount();
    const int32_t infNots = GetInfNotCount();
    for (int32_t l = 0; l < GetLanguageCount(); ++l) {
        for (int32_t i = 0; i < items; ++i)
            if (HasLineBreak(GetMenuItemName(l, i))) {
                if (error) *error = "The name of item " + Key(i) + " in " + Quoted(l, GetLanguageName(l)) +
                                    " holds a line break.";
                return false;
            }
        for (int32_t k = 0; k < infNots; ++k)
            if (HasLineBreak(GetInfNotText(l, k))) {
                if (error) *error = "The text of InfNot item " + Key(k) + " in " + Quoted(l, GetLanguageName(l)) +
                                    " holds a line break.";
                return false;
            }
    }

    ini.WriteInteger(General, "Languages", GetLanguageCount());
    ini.WriteInteger(General, "MenuCount", items);
    ini.WriteInteger(General, "InfNotCount", infNots);
    for (int32_t i = 0; i < items; ++i) ini.WriteInteger(Connections, Key(i), GetMenuItemParent(i));
    for (int32_t k = 0; k < infNots; ++k) ini.WriteInteger(Ranges, Key(k), GetInfNotRange(k));
    for (int32_t l = 0; l < GetLanguageCount(); ++l) {
        const std::string name = GetLanguageName(l);
        ini.WriteString(General, LanguageKey(l), name);
        const std::string names = NamesSection(name);
        const std::string helps = HelpSection(name);
        const std::string texts = InfNotSection(name);
        for (int32_t i = 0; i < items; ++i) ini.WriteString(names, Key(i), GetMenuItemName(l, i));
        for (int32_t i = 0; i < items; ++i) ini.WriteString(helps, Key(i), HelpToFile(GetMenuItemHelp(l, i)));
        for (int32_t k = 0; k < infNots; ++k) ini.WriteString(texts, Key(k), GetInfNotText(l, k));
    }
    for (int32_t i = 0; i < items; ++i) ini.WriteInteger(States, Key(i), GetMenuItemState(i));
    return true;
}

bool TQXMenuData::SaveToFile(const std::string& fileName, std::string* error) const {
    TMemIniFile ini;
    std::string reason;
    if (!SaveToIni(ini, &reason)) {
        // What cannot be written is the cause the window names.
        NoteSystemCause(reason);
        if (error) *error = reason;
        return false;
    }
    return ini.SaveToFile(fileName, error);
}

bool TQXMenuData::LoadFromIni(const TMemIniFile& ini) {
    if (!ini.SectionExists(General)) return false;
    Clear();
    const int64_t items = ini.ReadInteger(General, "MenuCount", 0);
    const int64_t languages = ini.ReadInteger(General, "Languages", 0);
    const int64_t infNots = ini.ReadInteger(General, "InfNotCount", 0);
    auto fail = [this] {
        Clear();
        RefreshTree();
        return false;
    };

    for (int64_t i = 0; i < items; ++i) {
        if (GetMenuItemCount() >= MaxMenuItems) return fail();
        // Parents come before their children. A parent that does not (out of
        // range, the item itself, a later item that may close a loop) hangs
        // the item from the root, so that it still takes its own texts.
        int64_t parent = ini.ReadInteger(Connections, Key(i), 0);
        if (parent < 0 || parent >= i) parent = 0;
        AppendMenuItem(static_cast<int32_t>(parent));
        SetMenuItemState(static_cast<int32_t>(i), static_cast<uint8_t>(ini.ReadInteger(States, Key(i), 0) & 0xFF));
    }
    for (int64_t k = 0; k < infNots; ++k) {
        if (GetInfNotCount() >= MaxInfNotItems) return fail();
        AppendInfNotItem();
        SetInfNotRange(static_cast<int32_t>(k), static_cast<int32_t>(ini.ReadInteger(Ranges, Key(k), 0) & 0xFF));
    }
    for (int64_t l = 0; l < languages; ++l) {
        // The sections are named with the name as the file has it, also when
        // it is longer than the language name the menu keeps.
        const std::string name = ini.ReadString(General, LanguageKey(l), "");
        if (GetLanguageCount() >= MaxLanguages) return fail();
        AddLanguage();
        const auto language = static_cast<int32_t>(l);
        SetLanguageName(language, name);
        const std::string names = NamesSection(name);
        const std::string helps = HelpSection(name);
        const std::string texts = InfNotSection(name);
        for (int32_t i = 0; i < GetMenuItemCount(); ++i) {
            SetMenuItemName(language, i, ini.ReadString(names, Key(i), ""));
            SetMenuItemHelp(language, i, HelpFromFile(ini.ReadString(helps, Key(i), "")));
        }
        for (int32_t k = 0; k < GetInfNotCount(); ++k) SetInfNotText(language, k, ini.ReadString(texts, Key(k), ""));
    }
    RefreshTree();
    return true;
}

bool TQXMenuData::LoadFromFile(const std::string& fileName) {
    TMemIniFile ini;
    ini.LoadFromFile(fileName);  // a file that cannot be read has no section General
    return LoadFromIni(ini);
}
