// Little-endian numbers of 16, 24 and 32 bits in byte images (files, block
// images, telegrams), and lists of NUL-ended texts. The signed readers
// extend the sign of the field's top bit; the writers keep the low bits of
// the value, so a signed value is stored in two's complement.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline uint16_t LeGet16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t LeGet24(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
}
inline uint32_t LeGet32(const uint8_t* p) { return LeGet24(p) | (uint32_t{p[3]} << 24); }

inline int16_t LeGetI16(const uint8_t* p) { return static_cast<int16_t>(LeGet16(p)); }
inline int32_t LeGetI24(const uint8_t* p) {
    const uint32_t u = LeGet24(p);
    return static_cast<int32_t>((u & 0x800000u) ? (u | 0xFF000000u) : u);
}
inline int32_t LeGetI32(const uint8_t* p) { return static_cast<int32_t>(LeGet32(p)); }

inline void LePut16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void LePut24(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
}
inline void LePut32(uint8_t* p, uint32_t v) {
    LePut24(p, v);
    p[3] = static_cast<uint8_t>(v >> 24);
}

inline void LePutI16(uint8_t* p, int16_t v) { LePut16(p, static_cast<uint16_t>(v)); }
inline void LePutI24(uint8_t* p, int32_t v) { LePut24(p, static_cast<uint32_t>(v)); }
inline void LePutI32(uint8_t* p, int32_t v) { LePut32(p, static_cast<uint32_t>(v)); }

// A list of texts stored one after the other, each followed by one NUL.
// Reading never goes past the end: a text cut off there ends there, texts
// beyond it are empty.
inline void PutNulTexts(std::vector<uint8_t>& out, const std::string* texts, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        out.insert(out.end(), texts[i].begin(), texts[i].end());
        out.push_back(0);
    }
}

inline void GetNulTexts(const uint8_t* data, size_t size, std::string* texts, size_t count) {
    size_t pos = 0;
    for (size_t i = 0; i < count; ++i) {
        texts[i].clear();
        while (pos < size && data[pos] != 0) texts[i].push_back(static_cast<char>(data[pos++]));
        if (pos < size) ++pos;  // the NUL
    }
}
