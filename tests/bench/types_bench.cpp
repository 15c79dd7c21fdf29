// A large type both ways: 254 parameters, 10 languages, 50 data sets and a
// table of 16 one-byte fields by 4,000 rows (64,000 bytes per data set, just
// under what a Table Data block holds). Its unit memory blocks are built and
// read back, and its type file is saved and opened.
//
// Every benchmark reports the heap the model itself holds ("model_MB") and
// the peak of the heap while the operation runs, the model included, as a
// multiple of the model ("peak_x_model").
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

#include "TableBlocks.h"
#include "Tabledata.h"
#include "TypeBlocks.h"
#include "TypeObject.h"
#include "Typedata.h"

// ---------------------------------------------------------------- heap accounting

namespace {

std::atomic<int64_t> HeapNow{0};
std::atomic<int64_t> HeapPeak{0};

void* Allocate(size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    const int64_t now = HeapNow += static_cast<int64_t>(malloc_usable_size(p));
    int64_t peak = HeapPeak.load();
    while (now > peak && !HeapPeak.compare_exchange_weak(peak, now)) {
    }
    return p;
}

void Release(void* p) {
    if (!p) return;
    HeapNow -= static_cast<int64_t>(malloc_usable_size(p));
    std::free(p);
}

}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }

namespace {

uint8_t Formats[100] = {};

// The large type; the heap it holds lands in *bytes.
std::unique_ptr<TTypeObjectData> LargeType(int64_t* bytes = nullptr) {
    const int64_t before = HeapNow;
    auto object = std::make_unique<TTypeObjectData>(Formats);
    object->SetTypeName("LARGE TYPE");
    TTypeData6& type = object->GetTypeData();
    type.SetLanguageCount(10);
    type.SetParameterCount(254);
    type.SetDataSetCount(50);
    for (int32_t p = 0; p < 254; ++p) {
        for (int32_t l = 0; l < 10; ++l) {
            std::string text = std::to_string(p);
            text += " Parameter text in language ";
            text += std::to_string(l);
            type.SetParamNameRaw(p, l, text);
        }
        type.GetParamFormat(p)->SetUnits("unit");
        type.GetParamFormat(p)->Max = 60000;
        for (int32_t s = 0; s < 50; ++s) type.SetValue(p, s, static_cast<uint16_t>(p * s));
    }
    TTableData* table = object->AddTable();
    table->SetName("Table");
    table->SetFieldCount(16);
    for (int32_t f = 0; f < 16; ++f) table->GetField(f)->SetName(std::to_string(f));
    table->SetRowCount(4000);
    table->SetDataSetCount(50);
    for (int32_t d = 0; d < 50; ++d)
        for (int32_t r = 0; r < 4000; ++r) {
            uint32_t* row = table->RowCells(d, r);
            for (int32_t f = 0; f < 16; ++f) row[f] = static_cast<uint32_t>(d + r + f) & 0xFF;
        }
    if (bytes) *bytes = HeapNow - before;
    return object;
}

_BlockContext Context() {
    _BlockContext context;
    context.ModelVersion.SetText("V2.7");
    return context;
}

std::string FilePath() {
    const char* folder = std::getenv("TMPDIR");
    std::string path = folder && *folder ? folder : "/tmp";
    path += "/types_bench-";
    path += std::to_string(::getpid());
    return path + ".mtp";
}

// Runs the operation once per iteration and reports the memory counters.
template <typename Operation>
void Measure(benchmark::State& state, int64_t modelBytes, Operation operation) {
    int64_t peak = 0;
    for (auto _ : state) {
        const int64_t base = HeapNow;
        HeapPeak = base;
        operation();
        peak = std::max(peak, HeapPeak.load() - base);
    }
    state.counters["model_MB"] = static_cast<double>(modelBytes) / 1e6;
    state.counters["peak_x_model"] = static_cast<double>(modelBytes + peak) / static_cast<double>(modelBytes);
}

void BM_TypeToBlocks(benchmark::State& state) {
    int64_t model = 0;
    auto object = LargeType(&model);
    Measure(state, model, [&] {
        TQXBlockMemList list;
        _BlockContext context = Context();
        if (!object->SaveToBlocks(list, context, 0, 1)) state.SkipWithError("SaveToBlocks failed");
        benchmark::DoNotOptimize(list.Count());
    });
}

void BM_TypeFromBlocks(benchmark::State& state) {
    int64_t model = 0;
    TQXBlockMemList list;
    {
        auto object = LargeType(&model);
        _BlockContext context = Context();
        object->SaveToBlocks(list, context, 0, 1);
    }
    Measure(state, model, [&] {
        TQXBlockMemList blocks;
        for (int32_t i = 0; i < list.Count(); ++i) blocks.Add()->Assign(*list.Get(i));
        TTypeObjectData read(Formats);
        _BlockContext context = Context();
        if (!read.LoadFromBlocks(blocks, context, true) || read.GetTable(0)->GetDataSetCount() != 50)
            state.SkipWithError("LoadFromBlocks failed");
    });
}

void BM_SaveTypeFile(benchmark::State& state) {
    int64_t model = 0;
    auto object = LargeType(&model);
    const std::string path = FilePath();
    Measure(state, model, [&] {
        if (!object->SaveToFile(path)) state.SkipWithError("SaveToFile failed");
    });
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
}

void BM_OpenTypeFile(benchmark::State& state) {
    int64_t model = 0;
    const std::string path = FilePath();
    LargeType(&model)->SaveToFile(path);
    Measure(state, model, [&] {
        TTypeObjectData read(Formats);
        if (!read.LoadFromFile(path) || read.GetTable(0)->GetDataSetCount() != 50)
            state.SkipWithError("LoadFromFile failed");
    });
    std::filesystem::remove(path);
}

}  // namespace

BENCHMARK(BM_TypeToBlocks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeFromBlocks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveTypeFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenTypeFile)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
