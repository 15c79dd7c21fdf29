// Saving and loading a type with one large table (64 fields, 20,000 rows,
// 8 data sets: about 41 MB of cells) to and from its sectioned container,
// and writing and reading that table as CSV. Prints MB/s of cell data (of
// CSV text for the CSV cases) and the peak heap during a load, counted by the
// allocator below, as a multiple of the cell data.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

#include "BenchOnce.h"
#include "CSVFile.h"
#include "Tabledata.h"
#include "Thdrobj.h"
#include "Typedata.h"

// ---------------------------------------------------------------- counting allocator

namespace {

std::atomic<int64_t> HeapNow{0};
std::atomic<int64_t> HeapPeak{0};
constexpr size_t Header = alignof(std::max_align_t);

void* Allocate(size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + Header));
    if (!block) throw std::bad_alloc();
    *reinterpret_cast<size_t*>(block) = size;
    const int64_t now = HeapNow += static_cast<int64_t>(size);
    int64_t peak = HeapPeak.load();
    while (now > peak && !HeapPeak.compare_exchange_weak(peak, now)) {
    }
    return block + Header;
}

void Release(void* p) {
    if (!p) return;
    auto* block = static_cast<unsigned char*>(p) - Header;
    HeapNow -= static_cast<int64_t>(*reinterpret_cast<size_t*>(block));
    std::free(block);
}

}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }

// ---------------------------------------------------------------- the type

namespace {

constexpr int Fields = 64;
constexpr int Rows = 20000;
constexpr int DataSets = 8;
constexpr double CellBytes = 4.0 * Fields * Rows * DataSets;
constexpr double MB = 1e6;

uint8_t Formats[100] = {};

const std::string& Folder() {
    static const std::string dir = [] {
        const std::string d = std::string("/tmp/qxbench-").append(std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}
std::string TypeFile() { return Folder() + "/big.mtp"; }
std::string CsvFile() { return Folder() + "/big.csv"; }

struct BigType {
    TTypeData6 Definition{Formats};
    TTableData Table{Formats};
    BigType() {
        Definition.SetName("Bench");
        Definition.SetLanguageCount(2);
        Definition.SetParameterCount(200);
        Definition.SetDataSetCount(DataSets);
        for (int p = 0; p < 200; ++p) Definition.SetParamNameRaw(p, 0, std::string("P").append(std::to_string(p)).append(" Parameter"));
        Table.SetName("Big");
        Table.SetTypeName("Bench");
        Table.SetFieldCount(Fields);
        for (int f = 0; f < Fields; ++f) {
            Table.GetField(f)->Size = static_cast<uint8_t>(1 + f % 4);
            Table.GetField(f)->Flags = static_cast<uint8_t>(f % 8 == 0);
        }
        Table.SetRowCount(Rows);
        Table.SetDataSetCount(DataSets);
        uint32_t x = 12345;
        for (int d = 0; d < DataSets; ++d)
            for (int r = 0; r < Rows; ++r) {
                uint32_t* row = Table.RowCells(d, r);
                for (int f = 0; f < Fields; ++f) {
                    x = x * 1103515245u + 12345u;
                    row[f] = x & GetFieldSizeMask(1 + f % 4);
                }
            }
    }
};

BigType& Type() {
    static BigType type;
    return type;
}

// As a type file is saved: the file, the nested type, the nested table, the
// extension section (each attach and the extension rewrite the whole file).
bool SaveType(const BigType& type) {
    THdrFile file;
    if (!file.Create(TypeFile(), "QX218 TYPTAB")) return false;
    {
        THdrMem nested;
        if (!nested.Create("", "QX218 TYP") || !type.Definition.SaveTo(nested) ||
            !nested.AttachToSection(&file, 0x4100, 0))
            return false;
    }
    {
        THdrMem nested;
        if (!nested.Create("", "QX218 TAB") || !type.Table.SaveTo(nested) || !nested.AttachToSection(&file, 0x4200, 0))
            return false;
    }
    uint8_t extension[256] = {1};
    return file.WriteSection(0x4300, 0, sizeof extension, extension) != 0;
}

bool LoadType(TTypeData6& definition, TTableData& table) {
    THdrFile file;
    if (!file.Open(TypeFile(), "QX218 TYPTAB")) return false;
    THdrMem nested;
    if (!nested.OpenFromSection(&file, 0x4100, "QX218 TYP", 0) || !definition.LoadFrom(nested)) return false;
    THdrMem tableImage;
    return tableImage.OpenFromSection(&file, 0x4200, "QX218 TAB", 0) && table.LoadFrom(tableImage);
}

long MaxRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void ContainerSave(benchmark::State& state) {
    BigType& type = Type();
    for (auto _ : state)
        if (!SaveType(type)) state.SkipWithError("save failed");
    state.counters["cell_MB/s"] = benchmark::Counter(CellBytes / MB, benchmark::Counter::kIsIterationInvariantRate);
}

// The same file bytes built in a memory container first and written once.
bool SaveTypeOnce(const BigType& type) {
    THdrMem image;
    if (!image.Create("", "QX218 TYPTAB")) return false;
    {
        THdrMem nested;
        if (!nested.Create("", "QX218 TYP") || !type.Definition.SaveTo(nested) ||
            !nested.AttachToSection(&image, 0x4100, 0))
            return false;
    }
    {
        THdrMem nested;
        if (!nested.Create("", "QX218 TAB") || !type.Table.SaveTo(nested) || !nested.AttachToSection(&image, 0x4200, 0))
            return false;
    }
    uint8_t extension[256] = {1};
    THdrFile file;
    return image.WriteSection(0x4300, 0, sizeof extension, extension) && file.Create(TypeFile(), "QX218 TYPTAB") &&
           file.CopyFrom(&image, "QX218 TYPTAB");
}

void ContainerSaveOnce(benchmark::State& state) {
    BigType& type = Type();
    for (auto _ : state)
        if (!SaveTypeOnce(type)) state.SkipWithError("save failed");
    state.counters["cell_MB/s"] = benchmark::Counter(CellBytes / MB, benchmark::Counter::kIsIterationInvariantRate);
}

// The container alone: the table into its nested container, attached to a
// fresh file (one write of the file).
void TableSave(benchmark::State& state) {
    BigType& type = Type();
    for (auto _ : state) {
        THdrFile file;
        THdrMem nested;
        if (!file.Create(TypeFile(), "QX218 TYPTAB") || !nested.Create("", "QX218 TAB") ||
            !type.Table.SaveTo(nested) || !nested.AttachToSection(&file, 0x4200, 0))
            state.SkipWithError("save failed");
    }
    state.counters["cell_MB/s"] = benchmark::Counter(CellBytes / MB, benchmark::Counter::kIsIterationInvariantRate);
}

void ContainerLoad(benchmark::State& state) {
    Type();
    SaveType(Type());
    double peakRatio = 0;
    long rssDelta = 0;
    for (auto _ : state) {
        const int64_t before = HeapNow.load();
        HeapPeak = before;
        const long rssBefore = MaxRssKb();
        {
            TTypeData6 definition(Formats);
            TTableData table(Formats);
            if (!LoadType(definition, table) || table.GetValue(7, Rows - 1, Fields - 1) !=
                                                     Type().Table.GetValue(7, Rows - 1, Fields - 1))
                state.SkipWithError("load failed");
        }
        peakRatio = std::max(peakRatio, static_cast<double>(HeapPeak.load() - before) / CellBytes);
        rssDelta = std::max(rssDelta, MaxRssKb() - rssBefore);
    }
    state.counters["cell_MB/s"] = benchmark::Counter(CellBytes / MB, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_heap_x_cells"] = peakRatio;
    state.counters["maxrss_growth_MB"] = static_cast<double>(rssDelta) / 1024.0;
}

void CsvExport(benchmark::State& state) {
    BigType& type = Type();
    double bytes = 0;
    for (auto _ : state) {
        CSVFile file(CsvFile(), true);
        if (!type.Table.WriteToCSV(file) || !file.Close()) state.SkipWithError("export failed");
        bytes = static_cast<double>(std::filesystem::file_size(CsvFile()));
    }
    state.counters["csv_MB/s"] = benchmark::Counter(bytes / MB, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["csv_MB"] = bytes / MB;
}

void CsvImport(benchmark::State& state) {
    {
        CSVFile file(CsvFile(), true);
        Type().Table.WriteToCSV(file);
    }
    const double bytes = static_cast<double>(std::filesystem::file_size(CsvFile()));
    for (auto _ : state) {
        CSVFile file(CsvFile(), false);
        TTableData table(Formats);
        table.SetDataSetCount(1);
        if (!table.ReadFromCSV(file) || table.GetRowCount() != Rows) state.SkipWithError("import failed");
    }
    state.counters["csv_MB/s"] = benchmark::Counter(bytes / MB, benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK(ContainerSave)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(5))->UseRealTime();
BENCHMARK(ContainerSaveOnce)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(5))->UseRealTime();
BENCHMARK(TableSave)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(5))->UseRealTime();
BENCHMARK(ContainerLoad)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(5))->UseRealTime();
BENCHMARK(CsvExport)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(3))->UseRealTime();
BENCHMARK(CsvImport)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(3))->UseRealTime();

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(Folder());
    return 0;
}
