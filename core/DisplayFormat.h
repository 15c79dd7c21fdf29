// How a value column shows its numbers. The application keeps one byte per
// column slot, the byte its settings file holds; a byte naming no format
// shows decimal.
#pragma once

#include <cstdint>

enum class TDisplayFormat : uint8_t { Decimal = 0, Hexadecimal = 1, Binary = 2 };

// The format a slot's byte names.
constexpr TDisplayFormat DisplayFormatOf(uint8_t stored) {
    switch (stored) {
    case static_cast<uint8_t>(TDisplayFormat::Hexadecimal): return TDisplayFormat::Hexadecimal;
    case static_cast<uint8_t>(TDisplayFormat::Binary): return TDisplayFormat::Binary;
    default: return TDisplayFormat::Decimal;
    }
}

// The byte a slot keeps for a format.
constexpr uint8_t StoredDisplayFormat(TDisplayFormat format) { return static_cast<uint8_t>(format); }
