// The multi-language text layer: the built-in English message table, replaced
// per id and per window text by the selected language of an optional
// language file (<program>.mls, ini text, read whole and never written).
//
// GetText may be called from two threads at once: a call keeps every
// intermediate text to itself and only reads the table, the language file
// and the language names, which change only in the constructor and (the
// selection) in SetLanguage at start-up.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "IniFile.h"
#include "Messages.h"

// A component of a window as the text layer sees it; the widget layer wraps
// its windows in this.
class TTextComponent {
public:
    virtual ~TTextComponent() = default;
    // The component's name (a window's full name for a window).
    virtual std::string GetName() const = 0;
    // True for a window: its components are translated under its name.
    virtual bool IsForm() const = 0;
    // Sets the caption (Windows-1252 bytes); kinds without one ignore it.
    virtual void SetCaption(std::string_view text) = 0;
    // Visits every component this one owns, in the order of its list.
    virtual void ForEachOwned(const std::function<void(TTextComponent&)>& visit) = 0;
};

class TMLSUnit {
public:
    // More languages than this in "GENERAL"/"Languages" are not listed.
    static constexpr int32_t MaxLanguages = 1000;

    // Opens the language file when it exists and names its program.
    TMLSUnit(const _MessageEntry* messageTable, std::string fileName);
    ~TMLSUnit() = default;
    TMLSUnit(const TMLSUnit&) = delete;
    TMLSUnit& operator=(const TMLSUnit&) = delete;

    // Stores the index unchanged; -1 selects the built-in English texts.
    bool SetLanguage(int32_t index);

    // The message text with its "%s" placeholders filled by the arguments in
    // order (a null text counts as empty). Arguments are inserted literally.
    template <typename... Args>
    std::string GetText(uint32_t id, const Args&... args) const {
        const std::string_view list[] = {std::string_view(), ArgumentText(args)...};
        return GetTextList(id, std::span<const std::string_view>(list).subspan(1));
    }
    std::string GetTextList(uint32_t id, std::span<const std::string_view> args) const;

    // Gives a window and every component it owns its text in the selected
    // language; English windows stay as they are.
    void TranslateForm(TTextComponent& form) const;

    const std::string& GetFileName() const { return FileName; }
    bool HasLanguageFile() const { return LanguageFile != nullptr; }
    int32_t GetLanguageCount() const { return LanguageCount; }
    int32_t GetLanguageIndex() const { return LanguageIndex; }
    const std::vector<std::string>& GetLanguageNames() const { return LanguageNames; }

private:
    std::string FileName;
    std::unique_ptr<TMemIniFile> LanguageFile;
    const _MessageEntry* MessageTable;
    int32_t LanguageCount = 0;
    int32_t LanguageIndex = -1;
    std::vector<std::string> LanguageNames;

    static std::string_view ArgumentText(std::string_view text) { return text; }
    static std::string_view ArgumentText(const std::string& text) { return text; }
    static std::string_view ArgumentText(const char* text) { return text ? std::string_view(text) : std::string_view(); }

    // The section of the selected language, or null when English is in use.
    const std::string* LanguageSection() const;
    void Translate(TTextComponent& component, const std::string& section, const std::string& prefix) const;
};
