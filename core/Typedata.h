// The definition of a type: its name, up to 10 languages with sixteen
// configuration-switch texts each, up to 65535 parameters (a text per
// language, units, minimum and maximum) and up to 50 named data sets, each
// holding one 16-bit value per parameter and one 16-bit switch mask.
// Count setters throw TModelLimit out of range; every other operation
// refuses quietly. Texts longer than their field are cut.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "Containers.h"
#include "DisplayFormat.h"
#include "ModelLimit.h"

class THdrObj;

// One language of a type with its sixteen switch texts (625 bytes, stored
// unchanged in the type file).
struct _LangItem {
    static constexpr size_t SwitchTextLength = 36;  // of the 38 bytes of a switch text
    static constexpr size_t NameLength = 16;
    char SwitchTexts[16][38] = {};
    char Name[NameLength + 1] = {};

    _LangItem();  // "SW 1" .. "SW 16", named "Language"
    std::string GetSwitchText(int i) const;
    void SetSwitchText(int i, std::string_view text);  // up to 36 characters
    std::string GetName() const;
    void SetName(std::string_view text);  // up to 16 characters
};
static_assert(sizeof(_LangItem) == 625);

// The text of one parameter in one language: "code description".
struct _ParamName {
    static constexpr size_t TextLength = 63;
    static constexpr size_t CodeLength = 4;  // the code before the description
    char Text[TextLength + 1] = {};
};
static_assert(sizeof(_ParamName) == 64);

// Units, minimum and maximum of one parameter (12 bytes).
struct _ParamFormatItem {
    static constexpr size_t UnitsLength = 7;
    char Units[UnitsLength + 1] = {};
    uint16_t Min = 0;
    uint16_t Max = 0;

    std::string GetUnits() const;
    void SetUnits(std::string_view text);  // up to 7 characters
};
static_assert(sizeof(_ParamFormatItem) == 12);

struct _TypeDataSetName {
    static constexpr size_t NameLength = 16;
    char Name[NameLength + 1] = {};
};
static_assert(sizeof(_TypeDataSetName) == 17);

// The steps of a parameter name's normalisation.
void SplitParamName(std::string_view text, std::string& code, std::string& description);
std::string WrapParamText(std::string_view description);
std::string JoinParamName(std::string_view code, std::string_view wrapped);

class TTypeData6 {
public:
    static constexpr size_t NameLength = 16;
    static constexpr int32_t MaxLanguages = 10;
    static constexpr int32_t MaxParameters = 65535;
    static constexpr int32_t MaxDataSets = 50;
    static constexpr int SlotMin = 7;
    static constexpr int SlotMax = 8;
    static constexpr int SlotValue = 9;

    explicit TTypeData6(const uint8_t* displayFormats = nullptr);
    TTypeData6(const TTypeData6&) = delete;
    TTypeData6& operator=(const TTypeData6&) = delete;

    void SetName(std::string_view text);
    std::string GetName() const;

    int32_t GetLanguageCount() const { return Languages.Count(); }
    int32_t GetParameterCount() const { return Formats.Count(); }
    int32_t GetDataSetCount() const { return SetNames.Count(); }

    // Languages.
    void SetLanguageCount(int64_t n);
    bool CanAddLanguage() const { return Languages.Count() < MaxLanguages; }
    _LangItem* AddLanguage();
    bool CanInsertLanguage(int32_t i) const { return i >= 0 && i < Languages.Count() && CanAddLanguage(); }
    _LangItem* InsertLanguage(int32_t i);
    bool CanDeleteLanguage(int32_t i) const { return i >= 0 && i < Languages.Count(); }
    void DeleteLanguage(int32_t i);
    _LangItem* GetLanguage(int32_t i) { return Languages.Get(i); }
    const _LangItem* GetLanguage(int32_t i) const { return Languages.Get(i); }

    // Parameters.
    void SetParameterCount(int64_t n);
    bool CanAddParameter() const { return Formats.Count() < MaxParameters; }
    void AddParameter();
    bool CanInsertParameter(int32_t i) const { return i >= 0 && i < Formats.Count() && CanAddParameter(); }
    void InsertParameter(int32_t i);
    bool CanDeleteParameter(int32_t i) const { return i >= 0 && i < Formats.Count(); }
    void DeleteParameter(int32_t i);
    void AssignParameter(int32_t dst, int32_t src);
    _ParamFormatItem* GetParamFormat(int32_t p) { return Formats.Get(p); }
    const _ParamFormatItem* GetParamFormat(int32_t p) const { return Formats.Get(p); }
    _ParamName* GetParamNameItem(int32_t p, int32_t l);
    const _ParamName* GetParamNameItem(int32_t p, int32_t l) const;
    std::string GetParamName(int32_t p, int32_t l) const;  // "?" when missing
    void SetParamNameRaw(int32_t p, int32_t l, std::string_view text);
    void SetParamName(int32_t p, int32_t l, std::string_view text);  // normalised

    // Values and data sets.
    void SetDataSetCount(int64_t n);
    bool CanAddDataSet() const { return SetNames.Count() < MaxDataSets; }
    _TypeDataSetName* AddDataSet();
    std::string GetDataSetName(int32_t s) const;
    void SetDataSetName(int32_t s, std::string_view text);
    uint16_t GetValue(int32_t p, int32_t s) const;
    void SetValue(int32_t p, int32_t s, uint16_t v);
    uint16_t GetSwitchMask(int32_t s) const;
    void SetSwitchMask(int32_t s, uint16_t mask);
    bool GetSwitch(int32_t s, int b) const;
    void SetSwitch(int32_t s, int b, bool on);

    // Display texts by the display-format slots 9 (values), 7 and 8 (limits).
    std::string GetValueText(int32_t p, int32_t s) const;
    std::string GetMinText(const _ParamFormatItem* item) const;
    std::string GetMaxText(const _ParamFormatItem* item) const;

    const uint8_t* GetDisplayFormats() const { return DisplayFormats; }

    // The sections of a nested "QX218 TYP" container.
    bool SaveTo(THdrObj& container) const;
    bool LoadFrom(THdrObj& container);

private:
    char Name[NameLength + 1] = {};
    TVector<_LangItem> Languages;
    TArray<_ParamName> Names;
    TVector<_ParamFormatItem> Formats;
    TArray<unsigned short> Values;
    TVector<unsigned short> Masks;
    TVector<_TypeDataSetName> SetNames;
    _LangItem DefaultLanguage;
    _ParamName DefaultParamName;
    _ParamFormatItem DefaultFormat;
    unsigned short DefaultValue = 0;
    unsigned short DefaultMask = 0;
    _TypeDataSetName DefaultSetName;
    const uint8_t* DisplayFormats = nullptr;

    void KeepLanguagesInStep();
    void KeepParametersInStep();
    void KeepDataSetsInStep();
    std::string FormatText(int slot, uint16_t v) const;
};
