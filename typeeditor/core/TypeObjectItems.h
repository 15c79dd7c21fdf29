// Which parts of a type a report or a CSV export covers: some of its
// languages, the parameters, the configuration switches and some of its
// tables.
#pragma once

#include <cstdint>
#include <vector>

class TTypeObjectData;

// The choice, made for one type: valid only while that type keeps its
// language and table counts. 1 = selected.
struct _TypeObjectItems {
    _TypeObjectItems() = default;
    // Everything selected: one flag per language and per table of the type.
    explicit _TypeObjectItems(const TTypeObjectData& type);

    std::vector<uint8_t> languages;
    uint8_t parameters = 1;
    uint8_t configuration = 1;
    std::vector<uint8_t> tables;
};
