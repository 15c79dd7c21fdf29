// Little-endian fields of the settings sections.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

inline void PutI32(uint8_t* p, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    p[0] = static_cast<uint8_t>(u);
    p[1] = static_cast<uint8_t>(u >> 8);
    p[2] = static_cast<uint8_t>(u >> 16);
    p[3] = static_cast<uint8_t>(u >> 24);
}

inline int32_t GetI32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

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
