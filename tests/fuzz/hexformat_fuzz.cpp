// Intel HEX parsing on arbitrary text: never a crash; an accepted image keeps
// every data byte within 32 bits, and its blocks carry exactly its bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string_view>
#include <vector>

#include "Fcs.h"
#include "HexFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    HEXFormat hex;
    const bool ok = hex.ParseLines(SplitProgramLines(text));
    if (ok != (hex.GetLastError() == THexError::None)) std::abort();
    hex.GetAppVersion();

    std::vector<_HEXBlock> blocks;
    hex.RepackToBlocks(blocks);
    // Every byte of every record lies in one block at its own address (later
    // records win where records overlap, as they do in the blocks).
    uint64_t bytes = 0;
    std::map<uint64_t, uint8_t> image;
    for (int32_t i = 0; i < hex.Count(); ++i) {
        const _HEXRecord* r = hex.Get(i);
        if (static_cast<uint64_t>(r->Address) + r->Length > (1ull << 32)) std::abort();
        bytes += r->Length;
    }
    if (blocks.size() > bytes / 128 + static_cast<size_t>(hex.Count()) + 1) std::abort();
    for (const auto& block : blocks) {
        for (int j = 0; j < 128; ++j) image[static_cast<uint64_t>(block.Address) + j] = block.Data[j];
    }
    for (int32_t i = 0; i < hex.Count(); ++i) {
        const _HEXRecord* r = hex.Get(i);
        for (int j = 0; j < r->Length; ++j) {
            if (image.find(static_cast<uint64_t>(r->Address) + j) == image.end()) std::abort();
        }
    }
    return 0;
}
