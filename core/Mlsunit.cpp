#include "Mlsunit.h"

#include <filesystem>
#include <system_error>

namespace {

// "\r" and "\n" written as two characters (backslash, letter) become CR and LF.
std::string ReplaceLineEscapes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'r' || text[i + 1] == 'n')) {
            out += text[i + 1] == 'r' ? '\r' : '\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Each "%s" of the template, from the left, replaced by the next argument;
// arguments are not searched again, placeholders beyond them stay as they are.
std::string FillPlaceholders(std::string_view text, std::span<const std::string_view> args) {
    std::string out;
    out.reserve(text.size());
    size_t next = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (next < args.size() && text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's') {
            out += args[next++];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

TMLSUnit::TMLSUnit(const _MessageEntry* messageTable, std::string fileName)
    : FileName(std::move(fileName)), MessageTable(messageTable) {
    std::error_code ec;
    if (FileName.empty() || !std::filesystem::is_regular_file(FileName, ec)) return;
    auto file = std::make_unique<TMemIniFile>();
    if (!file->LoadFromFile(FileName)) return;
    if (file->ReadString("MLS-INTERFACE", "Program", "").empty()) return;
    LanguageFile = std::move(file);
    const int64_t count = LanguageFile->ReadInteger("GENERAL", "Languages", 0);
    LanguageCount = static_cast<int32_t>(count < 0 ? 0 : count > MaxLanguages ? MaxLanguages : count);
    LanguageNames.reserve(static_cast<size_t>(LanguageCount));
    for (int32_t i = 1; i <= LanguageCount; ++i)
        LanguageNames.push_back(LanguageFile->ReadString("LANGUAGES", std::to_string(i), ""));
}

bool TMLSUnit::SetLanguage(int32_t index) {
    LanguageIndex = index;
    return true;
}

const std::string* TMLSUnit::LanguageSection() const {
    if (!LanguageFile || LanguageIndex < 0 || LanguageIndex >= LanguageCount) return nullptr;
    return &LanguageNames[static_cast<size_t>(LanguageIndex)];
}

std::string TMLSUnit::GetTextList(uint32_t id, std::span<const std::string_view> args) const {
    std::string_view text = LookupMessage(MessageTable, id);
    std::string translated;
    if (const std::string* section = LanguageSection()) {
        const std::string key = "const::" + std::to_string(id);
        if (LanguageFile->ValueExists(*section, key)) {
            translated = LanguageFile->ReadString(*section, key, "");
            text = translated;
        }
    }
    // The template's escapes only: an inserted path keeps its backslashes.
    return FillPlaceholders(ReplaceLineEscapes(text), args);
}

void TMLSUnit::TranslateForm(TTextComponent& form) const {
    if (const std::string* section = LanguageSection()) Translate(form, *section, std::string());
}

void TMLSUnit::Translate(TTextComponent& component, const std::string& section, const std::string& prefix) const {
    const std::string name = component.GetName();
    const std::string value = LanguageFile->ReadString(section, prefix + "::" + name, "");
    if (!value.empty()) component.SetCaption(ReplaceLineEscapes(value));
    const std::string ownedPrefix = component.IsForm() ? name.substr(0, name.find('_')) : prefix;
    component.ForEachOwned([&](TTextComponent& owned) { Translate(owned, section, ownedPrefix); });
}
