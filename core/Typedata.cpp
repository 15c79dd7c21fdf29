#include "Typedata.h"

#include <charconv>
#include <cstring>
#include <vector>

#include "TextHelpers.h"
#include "Thdrobj.h"

namespace {

constexpr uint16_t SectHeader = 0x3100;
constexpr uint16_t SectLanguagesShort = 0x3200;
constexpr uint16_t SectFormats = 0x3300;
constexpr uint16_t SectNamesShort = 0x3400;
constexpr uint16_t SectValues = 0x3500;
constexpr uint16_t SectMasks = 0x3600;
constexpr uint16_t SectSetNames = 0x3700;
constexpr uint16_t SectNamesFull = 0x3800;
constexpr uint16_t SectLanguagesFull = 0x3900;
constexpr uint32_t HeaderSize = 61;
constexpr uint32_t LangShortSize = 305;
constexpr uint32_t NameShortSize = 22;
constexpr int WrapWidth = 21;

const char* Chars(const uint8_t* p) { return reinterpret_cast<const char*>(p); }
char* Chars(uint8_t* p) { return reinterpret_cast<char*>(p); }

bool Write(THdrObj& c, uint16_t id, const std::vector<uint8_t>& bytes) {
    return c.WriteSection(id, 0, static_cast<uint32_t>(bytes.size()), bytes.data()) != 0;
}

// The section when it is there with exactly that size.
bool Read(THdrObj& c, uint16_t id, uint64_t size, std::vector<uint8_t>& bytes) {
    const int32_t index = c.FindSection(id, 0);
    uint32_t actual = 0;
    if (index < 0 || !c.GetSectionInfo(index, nullptr, &actual, nullptr) || actual != size) return false;
    bytes.resize(static_cast<size_t>(size));
    return c.ReadSectionFixed(id, 0, actual, bytes.data()) != 0;
}

bool HasSize(THdrObj& c, uint16_t id, uint64_t size) {
    uint32_t actual = 0;
    return c.GetSectionInfo(c.FindSection(id, 0), nullptr, &actual, nullptr) && actual == size;
}

}  // namespace

// ---------------------------------------------------------------- records

_LangItem::_LangItem() {
    for (int i = 0; i < 16; ++i) SetSwitchText(i, "SW " + std::to_string(i + 1));
    SetName("Language");
}

std::string _LangItem::GetSwitchText(int i) const {
    if (i < 0 || i > 15) return {};
    return FixedText(SwitchTexts[i], sizeof SwitchTexts[i], SwitchTextLength);
}

void _LangItem::SetSwitchText(int i, std::string_view text) {
    if (i < 0 || i > 15) return;
    SetFixedText(SwitchTexts[i], sizeof SwitchTexts[i], text.substr(0, SwitchTextLength));
}

std::string _LangItem::GetName() const { return FixedText(Name, sizeof Name); }
void _LangItem::SetName(std::string_view text) { SetFixedText(Name, sizeof Name, text); }

std::string _ParamFormatItem::GetUnits() const { return FixedText(Units, sizeof Units); }
void _ParamFormatItem::SetUnits(std::string_view text) { SetFixedText(Units, sizeof Units, text); }

// ---------------------------------------------------------------- parameter names

void SplitParamName(std::string_view text, std::string& code, std::string& description) {
    size_t i = 0;
    while (i < text.size() && text[i] != ' ' && i < _ParamName::CodeLength) ++i;
    if (i < text.size() && text[i] != ' ') {
        code.clear();  // the first word is longer than a code
        i = 0;
    } else {
        code = std::string(text.substr(0, i));
    }
    while (i < text.size() && text[i] == ' ') ++i;
    description = std::string(text.substr(i, _ParamName::TextLength));
}

std::string WrapParamText(std::string_view description) {
    std::string text(description);
    for (size_t start = 0; text.size() > start + WrapWidth; start += WrapWidth) {
        const size_t last = start + WrapWidth - 1;  // the line's last character
        if (text[last] == ' ' || text[last + 1] == ' ') continue;
        for (size_t j = WrapWidth; j >= 2; --j) {  // line positions, 1-based
            if (text[start + j - 1] == ' ') {
                text.insert(start + j, WrapWidth - j, ' ');
                break;
            }
        }
    }
    return text;
}

std::string JoinParamName(std::string_view code, std::string_view wrapped) {
    const size_t codeStart = std::min(code.find_first_not_of(' '), code.size());
    code.remove_prefix(codeStart);
    code = code.substr(0, std::min<size_t>(code.find(' '), _ParamName::CodeLength));
    const size_t textStart = std::min(wrapped.find_first_not_of(' '), wrapped.size());
    return std::string(code) + " " + std::string(wrapped.substr(textStart));
}

// ---------------------------------------------------------------- type

TTypeData6::TTypeData6(const uint8_t* displayFormats) : DisplayFormats(displayFormats) {
    SetFixedText(DefaultSetName.Name, sizeof DefaultSetName.Name, "Data Set");
    Languages.Prototype = &DefaultLanguage;
    Names.Prototype = &DefaultParamName;
    Formats.Prototype = &DefaultFormat;
    Values.Prototype = &DefaultValue;
    Masks.Prototype = &DefaultMask;
    SetNames.Prototype = &DefaultSetName;
}

void TTypeData6::SetName(std::string_view text) { SetFixedText(Name, sizeof Name, text); }
std::string TTypeData6::GetName() const { return FixedText(Name, sizeof Name); }

void TTypeData6::KeepLanguagesInStep() {
    if (Names.GetColCount() != Languages.Count()) Names.SetColCount(Languages.Count());
}

void TTypeData6::KeepParametersInStep() {
    if (Names.GetRowCount() != Formats.Count()) Names.SetRowCount(Formats.Count());
    if (Values.GetRowCount() != Formats.Count()) Values.SetRowCount(Formats.Count());
}

void TTypeData6::KeepDataSetsInStep() {
    if (Masks.Count() != SetNames.Count()) Masks.SetCount(SetNames.Count());
    if (Values.GetColCount() != SetNames.Count()) Values.SetColCount(SetNames.Count());
}

void TTypeData6::SetLanguageCount(int64_t n) {
    if (n < 0 || n > MaxLanguages) throw TModelLimit();
    KeepParametersInStep();
    Languages.SetCount(static_cast<int32_t>(n));
    Names.SetColCount(static_cast<int32_t>(n));
}

_LangItem* TTypeData6::AddLanguage() {
    if (!CanAddLanguage()) return nullptr;
    KeepParametersInStep();
    KeepLanguagesInStep();
    _LangItem* item = Languages.Add();
    Names.SetColCount(Languages.Count());
    return item;
}

_LangItem* TTypeData6::InsertLanguage(int32_t i) {
    if (!CanInsertLanguage(i)) return nullptr;
    KeepParametersInStep();
    KeepLanguagesInStep();
    _LangItem* item = Languages.Insert(i);
    Names.InsertCol(i);
    return item;
}

void TTypeData6::DeleteLanguage(int32_t i) {
    if (!CanDeleteLanguage(i)) return;
    KeepParametersInStep();
    KeepLanguagesInStep();
    Languages.Delete(i);
    Names.DeleteCol(i);
}

void TTypeData6::SetParameterCount(int64_t n) {
    if (n < 0 || n > MaxParameters) throw TModelLimit();
    KeepLanguagesInStep();
    KeepDataSetsInStep();
    Formats.SetCount(static_cast<int32_t>(n));
    Names.SetRowCount(static_cast<int32_t>(n));
    Values.SetRowCount(static_cast<int32_t>(n));
}

void TTypeData6::AddParameter() {
    if (!CanAddParameter()) return;
    KeepLanguagesInStep();
    KeepDataSetsInStep();
    KeepParametersInStep();
    Formats.Add();
    Names.AddRow();
    Values.AddRow();
}

void TTypeData6::InsertParameter(int32_t i) {
    if (!CanInsertParameter(i)) return;
    KeepLanguagesInStep();
    KeepDataSetsInStep();
    KeepParametersInStep();
    Formats.Insert(i);
    Names.InsertRow(i);
    Values.InsertRow(i);
}

void TTypeData6::DeleteParameter(int32_t i) {
    if (!CanDeleteParameter(i)) return;
    KeepParametersInStep();
    Formats.Delete(i);
    Names.DeleteRow(i);
    Values.DeleteRow(i);
}

void TTypeData6::AssignParameter(int32_t dst, int32_t src) {
    if (!CanDeleteParameter(dst) || !CanDeleteParameter(src) || dst == src) return;
    KeepLanguagesInStep();
    KeepDataSetsInStep();
    KeepParametersInStep();
    *Formats.Get(dst) = *Formats.Get(src);
    *Names.GetRow(dst) = *Names.GetRow(src);
    Names.GetRow(dst)->Prototype = &DefaultParamName;
    *Values.GetRow(dst) = *Values.GetRow(src);
    Values.GetRow(dst)->Prototype = &DefaultValue;
}

_ParamName* TTypeData6::GetParamNameItem(int32_t p, int32_t l) {
    if (l < 0 || l >= Languages.Count()) return nullptr;
    return Names.Get(p, l);
}

const _ParamName* TTypeData6::GetParamNameItem(int32_t p, int32_t l) const {
    return const_cast<TTypeData6*>(this)->GetParamNameItem(p, l);
}

std::string TTypeData6::GetParamName(int32_t p, int32_t l) const {
    const _ParamName* item = GetParamNameItem(p, l);
    return item ? FixedText(item->Text, sizeof item->Text) : "?";
}

void TTypeData6::SetParamNameRaw(int32_t p, int32_t l, std::string_view text) {
    if (_ParamName* item = GetParamNameItem(p, l)) SetFixedText(item->Text, sizeof item->Text, text);
}

void TTypeData6::SetParamName(int32_t p, int32_t l, std::string_view text) {
    _ParamName* item = GetParamNameItem(p, l);
    if (!item) return;
    std::string code, description;
    SplitParamName(text, code, description);
    SetFixedText(item->Text, sizeof item->Text, JoinParamName(code, WrapParamText(description)));
}

void TTypeData6::SetDataSetCount(int64_t n) {
    if (n < 0 || n > MaxDataSets) throw TModelLimit();
    KeepParametersInStep();
    Values.SetColCount(static_cast<int32_t>(n));
    Masks.SetCount(static_cast<int32_t>(n));
    SetNames.SetCount(static_cast<int32_t>(n));
}

_TypeDataSetName* TTypeData6::AddDataSet() {
    if (!CanAddDataSet()) return nullptr;
    KeepParametersInStep();
    KeepDataSetsInStep();
    Values.SetColCount(SetNames.Count() + 1);
    Masks.Add();
    return SetNames.Add();
}

std::string TTypeData6::GetDataSetName(int32_t s) const {
    const _TypeDataSetName* name = SetNames.Get(s);
    return name ? FixedText(name->Name, sizeof name->Name) : std::string();
}

void TTypeData6::SetDataSetName(int32_t s, std::string_view text) {
    if (_TypeDataSetName* name = SetNames.Get(s)) SetFixedText(name->Name, sizeof name->Name, text);
}

uint16_t TTypeData6::GetValue(int32_t p, int32_t s) const {
    const unsigned short* v = Values.Get(p, s);
    return v ? *v : 0;
}

void TTypeData6::SetValue(int32_t p, int32_t s, uint16_t v) {
    if (unsigned short* cell = Values.Get(p, s)) *cell = v;
}

uint16_t TTypeData6::GetSwitchMask(int32_t s) const {
    const unsigned short* m = Masks.Get(s);
    return m ? *m : 0;
}

void TTypeData6::SetSwitchMask(int32_t s, uint16_t mask) {
    if (unsigned short* m = Masks.Get(s)) *m = mask;
}

bool TTypeData6::GetSwitch(int32_t s, int b) const {
    if (b < 0 || b > 15) return false;
    return (GetSwitchMask(s) >> b) & 1;
}

void TTypeData6::SetSwitch(int32_t s, int b, bool on) {
    unsigned short* m = Masks.Get(s);
    if (!m || b < 0 || b > 15) return;
    const auto bit = static_cast<unsigned short>(1u << b);
    *m = static_cast<unsigned short>(on ? (*m | bit) : (*m & ~bit));
}

std::string TTypeData6::FormatText(int slot, uint16_t v) const {
    const TDisplayFormat format = DisplayFormatOf(DisplayFormats ? DisplayFormats[slot] : 0);
    if (format == TDisplayFormat::Hexadecimal) {
        static const char hex[] = "0123456789ABCDEF";
        std::string out = "0x";
        for (int i = 3; i >= 0; --i) out += hex[(v >> (4 * i)) & 0xF];
        return out;
    }
    if (format == TDisplayFormat::Binary) return IntToBin(v, 2);
    return std::to_string(v);
}

std::string TTypeData6::GetValueText(int32_t p, int32_t s) const {
    const unsigned short* v = Values.Get(p, s);
    return v ? FormatText(SlotValue, *v) : "?";
}

std::string TTypeData6::GetMinText(const _ParamFormatItem* item) const {
    return item ? FormatText(SlotMin, item->Min) : "?";
}

std::string TTypeData6::GetMaxText(const _ParamFormatItem* item) const {
    return item ? FormatText(SlotMax, item->Max) : "?";
}

// ---------------------------------------------------------------- sections

bool TTypeData6::SaveTo(THdrObj& container) const {
    const int32_t P = GetParameterCount();
    const int32_t L = GetLanguageCount();
    const int32_t S = GetDataSetCount();
    const auto size = [](int64_t n) { return static_cast<size_t>(n); };

    std::vector<uint8_t> header(HeaderSize, 0);
    SetFixedText(Chars(header.data()), 17, GetName());
    LePut32(&header[17], static_cast<uint32_t>(P));
    LePut32(&header[21], static_cast<uint32_t>(L));
    LePut32(&header[25], static_cast<uint32_t>(S));
    if (!Write(container, SectHeader, header)) return false;

    std::vector<uint8_t> full(size(L) * sizeof(_LangItem), 0);
    std::vector<uint8_t> shortened(size(L) * LangShortSize, 0);
    for (int32_t l = 0; l < L; ++l) {
        const _LangItem* lang = GetLanguage(l);
        uint8_t* f = &full[size(l) * sizeof(_LangItem)];
        uint8_t* s = &shortened[size(l) * LangShortSize];
        for (int i = 0; i < 16; ++i) {
            const std::string text = lang->GetSwitchText(i);
            SetFixedText(Chars(f + 38 * i), 38, text);
            SetFixedText(Chars(s + 18 * i), 18, text.substr(0, 17));
        }
        SetFixedText(Chars(f + 608), 17, lang->GetName());
        SetFixedText(Chars(s + 288), 17, lang->GetName());
    }
    if (!Write(container, SectLanguagesFull, full) || !Write(container, SectLanguagesShort, shortened)) return false;

    std::vector<uint8_t> formats(size(P) * sizeof(_ParamFormatItem), 0);
    for (int32_t p = 0; p < P; ++p) {
        if (const _ParamFormatItem* item = GetParamFormat(p)) {
            uint8_t* out = &formats[size(p) * sizeof(_ParamFormatItem)];
            SetFixedText(Chars(out), 8, item->GetUnits());
            LePut16(out + 8, item->Min);
            LePut16(out + 10, item->Max);
        }
    }
    if (!Write(container, SectFormats, formats)) return false;

    std::vector<uint8_t> names(size(P) * size(L) * NameShortSize, 0);
    std::vector<uint8_t> fullNames;
    for (int32_t p = 0; p < P; ++p)
        for (int32_t l = 0; l < L; ++l)
            SetFixedText(Chars(&names[(size(p) * size(L) + size(l)) * NameShortSize]), NameShortSize,
                         GetParamName(p, l).substr(0, 21));
    if (!Write(container, SectNamesShort, names)) return false;
    for (int32_t l = 0; l < L; ++l)
        for (int32_t p = 0; p < P; ++p) {
            const std::string text = GetParamName(p, l);
            fullNames.insert(fullNames.end(), text.begin(), text.end());
            fullNames.push_back(0);
        }
    if (!Write(container, SectNamesFull, fullNames)) return false;

    std::vector<uint8_t> values(size(P) * size(S) * 2, 0);
    for (int32_t p = 0; p < P; ++p)
        for (int32_t s = 0; s < S; ++s) LePut16(&values[(size(p) * size(S) + size(s)) * 2], GetValue(p, s));
    std::vector<uint8_t> masks(size(S) * 2, 0);
    std::vector<uint8_t> setNames(size(S) * sizeof(_TypeDataSetName), 0);
    for (int32_t s = 0; s < S; ++s) {
        LePut16(&masks[size(s) * 2], GetSwitchMask(s));
        SetFixedText(Chars(&setNames[size(s) * sizeof(_TypeDataSetName)]), 17, GetDataSetName(s));
    }
    return Write(container, SectValues, values) && Write(container, SectMasks, masks) &&
           Write(container, SectSetNames, setNames);
}

bool TTypeData6::LoadFrom(THdrObj& container) {
    std::vector<uint8_t> bytes;
    if (!Read(container, SectHeader, HeaderSize, bytes)) return false;
    const int64_t P = LeGetI32(&bytes[17]);
    const int64_t L = LeGetI32(&bytes[21]);
    const int64_t S = LeGetI32(&bytes[25]);
    const std::string name = FixedText(Chars(&bytes[0]), 17, 16);
    if (P < 0 || P > MaxParameters || L < 0 || L > MaxLanguages || S < 0 || S > MaxDataSets) {
        SetName(name);
        SetParameterCount(0);
        SetLanguageCount(1);
        SetDataSetCount(1);
        return false;
    }
    // Counts that the required sections do not bear out are refused before
    // anything is allocated for them.
    if (!HasSize(container, SectLanguagesShort, LangShortSize * L) ||
        !HasSize(container, SectFormats, sizeof(_ParamFormatItem) * P) ||
        !HasSize(container, SectNamesShort, NameShortSize * P * L) || !HasSize(container, SectValues, 2 * P * S) ||
        !HasSize(container, SectMasks, 2 * S) || !HasSize(container, SectSetNames, sizeof(_TypeDataSetName) * S))
        return false;
    SetName(name);
    SetParameterCount(P);
    SetLanguageCount(L);
    SetDataSetCount(S);
    const auto size = [](int64_t n) { return static_cast<size_t>(n); };

    const bool haveShort = Read(container, SectLanguagesShort, LangShortSize * L, bytes);
    if (haveShort) {
        for (int32_t l = 0; l < L; ++l) {
            const uint8_t* rec = &bytes[size(l) * LangShortSize];
            _LangItem* lang = GetLanguage(l);
            *lang = _LangItem();
            for (int i = 0; i < 16; ++i) lang->SetSwitchText(i, FixedText(Chars(rec + 18 * i), 18, 17));
            lang->SetName(FixedText(Chars(rec + 288), 17, 16));
        }
    }
    if (Read(container, SectLanguagesFull, sizeof(_LangItem) * L, bytes)) {
        for (int32_t l = 0; l < L; ++l) {
            const uint8_t* rec = &bytes[size(l) * sizeof(_LangItem)];
            _LangItem* lang = GetLanguage(l);
            for (int i = 0; i < 16; ++i) lang->SetSwitchText(i, FixedText(Chars(rec + 38 * i), 38, 36));
            lang->SetName(FixedText(Chars(rec + 608), 17, 16));
        }
    }
    if (!haveShort) return false;

    if (!Read(container, SectFormats, sizeof(_ParamFormatItem) * P, bytes)) return false;
    for (int32_t p = 0; p < P; ++p) {
        const uint8_t* rec = &bytes[size(p) * sizeof(_ParamFormatItem)];
        _ParamFormatItem* item = GetParamFormat(p);
        item->SetUnits(FixedText(Chars(rec), 8, 7));
        item->Min = LeGet16(rec + 8);
        item->Max = LeGet16(rec + 10);
    }

    if (!Read(container, SectNamesShort, NameShortSize * P * L, bytes)) return false;
    for (int32_t p = 0; p < P; ++p)
        for (int32_t l = 0; l < L; ++l)
            SetParamName(p, l, FixedText(Chars(&bytes[(size(p) * size(L) + size(l)) * NameShortSize]), NameShortSize, 21));

    uint32_t fullSize = 0;
    auto full = container.ReadSectionAlloc(SectNamesFull, 0, &fullSize);
    if (full && fullSize > 0 && P > 0) {
        full[fullSize - 1] = 0;
        int32_t p = 0, l = 0;
        for (size_t pos = 0; pos < fullSize && l < L;) {
            const char* text = Chars(full.get() + pos);
            const size_t len = ::strnlen(text, fullSize - pos);
            SetParamName(p, l, std::string_view(text, len));
            pos += len + 1;
            if (++p == P) {
                p = 0;
                ++l;
            }
        }
    }

    if (!Read(container, SectValues, 2 * P * S, bytes)) return false;
    for (int32_t p = 0; p < P; ++p)
        for (int32_t s = 0; s < S; ++s) SetValue(p, s, LeGet16(&bytes[(size(p) * size(S) + size(s)) * 2]));
    if (!Read(container, SectMasks, 2 * S, bytes)) return false;
    for (int32_t s = 0; s < S; ++s) SetSwitchMask(s, LeGet16(&bytes[size(s) * 2]));
    if (!Read(container, SectSetNames, sizeof(_TypeDataSetName) * S, bytes)) return false;
    for (int32_t s = 0; s < S; ++s)
        SetDataSetName(s, FixedText(Chars(&bytes[size(s) * sizeof(_TypeDataSetName)]), 17, 16));
    return true;
}
