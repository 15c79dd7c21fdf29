// The loader's speed: converting a HEX file of 256 KiB, and the time of one
// telegram against the simulated boot loader that answers at once, and how
// soon Esc ends a download that waits for a silent board (the wait would
// last 4.9 s).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "LoaderProgram.h"
#include "SimBootLoader.h"

namespace {

std::string HexRecord(int count, int address, int type, const uint8_t* data) {
    char text[16];
    std::string line = ":";
    int sum = count + (address >> 8) + (address & 0xFF) + type;
    std::snprintf(text, sizeof text, "%02X%04X%02X", count, address & 0xFFFF, type);
    line += text;
    for (int k = 0; k < count; ++k) {
        std::snprintf(text, sizeof text, "%02X", data[k]);
        line += text;
        sum += data[k];
    }
    std::snprintf(text, sizeof text, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
    return line + text;
}

// Lines of a HEX file of at least the given size in bytes (CR LF counted).
std::vector<std::string> HexFile(size_t fileBytes) {
    std::vector<std::string> lines;
    size_t size = 0;
    uint8_t data[16];
    uint32_t address = 0;
    while (size < fileBytes) {
        if ((address & 0xFFFF) == 0) {
            const uint8_t base[2] = {static_cast<uint8_t>(address >> 24), static_cast<uint8_t>(address >> 16)};
            lines.push_back(HexRecord(2, 0, 4, base));
            size += lines.back().size() + 2;
        }
        for (int k = 0; k < 16; ++k) data[k] = static_cast<uint8_t>(address + k * 7);
        lines.push_back(HexRecord(16, static_cast<int>(address & 0xFFFF), 0, data));
        size += lines.back().size() + 2;
        address += 16;
    }
    lines.push_back(":00000001FF");
    return lines;
}

// A download of the lines to the board behind COM209.
TLoaderProgram Download(const char* type, int kind, std::vector<std::string> lines, int64_t baudRate) {
    TLoaderProgram program;
    program.ParamPort = "COM209";
    program.BaudRate = baudRate;
    program.ParamType = type;
    program.FileKind = kind;
    program.TelegramLines = std::move(lines);
    return program;
}

class TQuietUi : public TLoaderUi {
public:
    void ShowMessage(const std::string&, const std::string&, TMsgIcon) override { ++Boxes; }
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    void ShowProgress(int64_t, int64_t, const std::string&, const std::string&) override {}
    int Boxes = 0;
};

void BM_ConvertHex256KiB(benchmark::State& state) {
    const std::vector<std::string> lines = HexFile(256 * 1024);
    for (auto _ : state) {
        TLoaderProgram program;
        program.ParamType = "MAIN";
        program.FileKind = 1;
        program.TelegramLines = lines;
        std::string error;
        if (!program.ConvertFile(error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(program.TelegramLines.data());
    }
}
BENCHMARK(BM_ConvertHex256KiB)->Unit(benchmark::kMillisecond);

void BM_ConvertHex850Full(benchmark::State& state) {
    std::vector<std::string> lines = HexFile(256 * 1024);
    for (auto _ : state) {
        TLoaderProgram program;
        program.ParamType = "850ESJx3";
        program.FileKind = 4;
        program.TelegramLines = lines;
        std::string error;
        if (!program.ConvertFile(error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(program.TelegramLines.data());
    }
}
BENCHMARK(BM_ConvertHex850Full)->Unit(benchmark::kMillisecond);

// A whole download of 200 HEX blocks; the time is given per telegram.
void BM_DownloadPerTelegram(benchmark::State& state) {
    SimBootLoader board;
    ::setenv("QX318_COM209", board.DevicePath().c_str(), 1);
    std::vector<std::string> lines;
    uint8_t data[16] = {1};
    for (int k = 0; k < 200; ++k) lines.push_back(HexRecord(16, k * 128, 0, data));
    int64_t telegrams = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        TLoaderProgram program = Download("MAIN", 1, lines, 115200);
        TQuietUi ui;
        auto link = CreateLoaderLink();
        if (!program.SendFile(*link, ui)) state.SkipWithError("download failed");
        link->Close();
        telegrams += static_cast<int64_t>(program.TelegramLines.size());
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetItemsProcessed(telegrams);
    state.counters["us_per_telegram"] = seconds * 1e6 / static_cast<double>(telegrams);
}
BENCHMARK(BM_DownloadPerTelegram)->Unit(benchmark::kMillisecond)->UseRealTime();

// Esc pressed while the first telegram waits for a board that stays silent,
// with the product's own time-out count (244 x 20 ms to the first byte).
class TEscUi : public TQuietUi {
public:
    TLoaderProgram* Program = nullptr;
    bool Shown = false;
    void ShowProgress(int64_t, int64_t, const std::string&, const std::string&) override { Shown = true; }
    void ProcessMessages() override {
        if (Program && Shown) Program->EscPressed = true;
    }
};

void BM_EscDuringASilentWait(benchmark::State& state) {
    SimBootLoader board;
    board.SetDefault(SimBootLoader::SilentAction());
    ::setenv("QX318_COM209", board.DevicePath().c_str(), 1);
    uint8_t data[1] = {1};
    for (auto _ : state) {
        TLoaderProgram program = Download("850ESJx3", 4, {HexRecord(1, 0, 0, data)}, 57600);
        TEscUi ui;
        ui.Program = &program;
        auto link = CreateLoaderLink();
        if (program.SendFile(*link, ui) || ui.Boxes != 0) state.SkipWithError("not ended by Esc");
        link->Close();
    }
}
BENCHMARK(BM_EscDuringASilentWait)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
