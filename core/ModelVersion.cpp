#include "ModelVersion.h"

#include <cstring>

void _QXModelVersion::Clear() { std::memset(Text, 0, sizeof Text); }

std::string_view _QXModelVersion::GetText() const {
    const size_t limit = sizeof Text - 1;
    const void* nul = std::memchr(Text, 0, limit);
    return std::string_view(Text, nul ? static_cast<size_t>(static_cast<const char*>(nul) - Text) : limit);
}

void _QXModelVersion::SetText(std::string_view text) {
    Clear();
    const size_t n = text.size() < sizeof Text - 1 ? text.size() : sizeof Text - 1;
    std::memcpy(Text, text.data(), n);
}

int ParseModelVersion(std::string_view text) {
    if (text.size() < 2) return -1;
    if (text[0] != 'V' && text[0] != 'v') return -1;
    if (text[1] < '0' || text[1] > '9') return -1;
    return text[1] - '0';
}
