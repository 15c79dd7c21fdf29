// The integer-text reader on arbitrary text: never a crash, and a value that
// reads back always lies in the accepted range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "IntText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto v = ReadIntText(text)) {
        if (*v < -2147483648LL || *v > 4294967295LL) std::abort();
    }
    ReadHexDigits(text);
    return 0;
}
