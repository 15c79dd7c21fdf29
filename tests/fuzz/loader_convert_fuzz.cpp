// The loader's file conversion on arbitrary files: never a crash, never a
// write outside an image, and every payload it gives fits one telegram.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "LoaderProgram.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const char* const types[] = {"MAIN", "USER", "INTR", "INTRMOD", "JTAG", "89S825x", "850ESHx2", "850ESJx3"};
    static const char* const options[] = {"", "CONTROL", "VERIFY", ""};
    const uint8_t selector = data[0];
    TLoaderProgram program;
    program.ParamType = types[selector & 7];
    program.ParamOption = options[(selector >> 3) & 3];
    const int kind = (selector >> 5) & 3;  // 0 S-record, 1 HEX, 2 binary, 3: HEX of the type
    const bool is850 = (selector & 7) >= 6;
    program.FileKind = kind == 3 ? (is850 ? 4 : 1) : kind;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    if (program.FileKind == 2) {
        size_t at = 0;
        for (; at + 64 <= text.size(); at += 64) program.TelegramLines.push_back(text.substr(at, 64));
        program.TelegramLines.push_back(text.substr(at));
    } else {
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            program.TelegramLines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
    }
    std::string error;
    if (program.ConvertFile(error)) {
        for (const std::string& payload : program.TelegramLines)
            if (payload.size() > kMaxPayload) std::abort();
        program.ProceedState = 2;
        program.InsertHeader(true);
    } else if (error.empty()) {
        std::abort();
    }
    return 0;
}
