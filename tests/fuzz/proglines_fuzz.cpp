// Program-file lines on arbitrary text: never a crash, and a built image
// always has the size the lines announce and the CRC the lines give.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "Fcs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto lines = SplitProgramLines(text);
    const int check = CheckLines(lines);
    std::vector<uint8_t> image;
    const int built = BuildLinesImage(lines, image);
    if (built == 0) {
        if (image.size() != GetLinesBinarySize(lines)) std::abort();
        if (CalcLinesFcs16(lines) != CalcFcs16(image.data(), image.size())) std::abort();
        // Every line that builds into the image also passes the check (the
        // scratch record only limits the length of one line).
        if (!lines.empty() && check < 0 && check != ProgLineBufferTooSmall) std::abort();
        uint8_t packet[128];
        for (size_t offset = 0; offset < image.size(); offset += 128) {
            if (CopyChunk(packet, image.data(), offset, 128, image.size()) == 0) std::abort();
        }
    } else if (!image.empty() || CalcLinesFcs16(lines) != 0) {
        std::abort();
    }
    return 0;
}
