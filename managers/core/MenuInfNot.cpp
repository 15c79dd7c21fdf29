#include "MenuInfNot.h"

#include <algorithm>

#include "IntText.h"

int InfNotColumnCount(bool showLinked) { return showLinked ? 4 : 3; }

int InfNotTextColumn(bool showLinked) { return showLinked ? 3 : 2; }

TInfNotColumn InfNotColumnOf(bool showLinked, int column) {
    if (column < 0 || column >= InfNotColumnCount(showLinked)) return TInfNotColumn::None;
    if (column == 0) return TInfNotColumn::Number;
    if (column == 1) return TInfNotColumn::Range;
    return column == InfNotTextColumn(showLinked) ? TInfNotColumn::Text : TInfNotColumn::OriginalText;
}

bool InfNotColumnTakesEdits(bool showLinked, int column) {
    const TInfNotColumn kind = InfNotColumnOf(showLinked, column);
    return kind == TInfNotColumn::Range || kind == TInfNotColumn::Text;
}

bool MayEditInfNotCell(int32_t itemCount, bool showLinked, bool languageSelected, int column, int row) {
    if (itemCount == 0 || row < 1) return false;
    switch (InfNotColumnOf(showLinked, column)) {
    case TInfNotColumn::Range:
        return true;
    case TInfNotColumn::Text:
        return languageSelected;
    default:
        return false;  // the number and the original text stay as they are
    }
}

std::optional<int32_t> InfNotRangeOf(std::string_view text) {
    const std::optional<int64_t> value = ReadIntText(text);
    if (!value || *value < 0 || *value > MaxInfNotRange) return std::nullopt;
    return static_cast<int32_t>(*value);
}

int InfNotTextMaxLength(int32_t range, int textLength) { return std::min(textLength, std::max(range - 1, 0)); }
