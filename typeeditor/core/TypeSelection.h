// What is selected in a type window: the kind of element and the indexes
// that name it. The tree and the grid each produce one; the window keeps the
// one of the view that has the focus.
#pragma once

#include <cstdint>

struct _TypeSelection {
    enum : uint8_t { KindParameters = 0, KindConfiguration = 1, KindLanguage = 2, KindTable = 3, KindField = 4 };

    uint8_t Kind = KindParameters;
    int32_t Parameter = -1;
    int32_t SwitchRow = -1;
    int32_t Language = -1;
    int32_t Table = -1;
    int32_t Field = -1;
    int32_t Row = -1;

    bool TableMode() const { return Kind == KindTable || Kind == KindField; }
    bool operator==(const _TypeSelection&) const = default;
};
