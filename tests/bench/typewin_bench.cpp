// The type window with a large type, offscreen: opening it (from the
// creator to the window shown with tree and grid laid out), switching to
// the tab of a 65,535-row table, painting one screen of grid cells, the
// heap the open window holds beside its model, saving a type with 41 MB
// of cells against the floor of writing as many bytes with one write, one
// fsync and one rename, two structure commands through their actions (a
// parameter inserted at the top of 254, a field added to the 65,535-row
// table), and moving the last of 254 parameters to the top with the Ctrl
// key, each with the tree rebuilt and the grid laid out and painted, and
// the type's printed report generated and shown.
//
// Also the CSV export and import of the large type (the import as the
// command runs it: the elements scan, which reads every part, then the
// parts taken into the type), in bytes of CSV text per second.
//
// Counters: "model_MB" the heap of the type alone, "window_x_model" the heap
// of the open window (model included) as a multiple of it, "x_load" the
// open's time as a multiple of loading the same file with no window,
// "x_floor" the save's time as a multiple of the floor's, "lines" the
// report's lines.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPixmap>
#include <QTextDocument>
#include <QTextEdit>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <new>
#include <string>

#include "AppFolders.h"
#include "CSVFile.h"
#include "CsvElementsSelect.h"
#include "Main.h"
#include "Tabledata.h"
#include "TypeCSVCommands.h"
#include "TypeObject.h"
#include "TypePrint.h"
#include "TypeWindow.h"
#include "Typedata.h"

// ---------------------------------------------------------------- heap accounting

namespace {

std::atomic<int64_t> HeapNow{0};

void* Allocate(size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    HeapNow += static_cast<int64_t>(malloc_usable_size(p));
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
void* operator new(size_t size, std::align_val_t) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, size_t, std::align_val_t) noexcept { Release(p); }

namespace {

namespace fs = std::filesystem;

fs::path Folder() {
    static const fs::path folder = [] {
        const char* tmp = std::getenv("TMPDIR");
        fs::path f = fs::path(tmp && *tmp ? tmp : "/tmp") / ("typewin_bench-" + std::to_string(::getpid()));
        fs::create_directories(f / "data");
        return f;
    }();
    return folder;
}

// 254 parameters, 10 languages, 50 data sets; four tables of 16 fields by
// 4,000 rows and one of 8 fields by 65,535 rows, each table with the given
// number of data sets.
void FillLargeType(TTypeObjectData& object, int32_t tableSets) {
    object.SetTypeName("LARGE TYPE");
    TTypeData6& type = object.GetTypeData();
    type.SetLanguageCount(10);
    type.SetParameterCount(254);
    type.SetDataSetCount(50);
    for (int32_t p = 0; p < 254; ++p) {
        for (int32_t l = 0; l < 10; ++l)
            type.SetParamNameRaw(p, l, "P" + std::to_string(p) + " Parameter text in language " + std::to_string(l));
        type.GetParamFormat(p)->SetUnits("unit");
        type.GetParamFormat(p)->Max = 60000;
        for (int32_t s = 0; s < 50; ++s) type.SetValue(p, s, static_cast<uint16_t>(p * s));
    }
    auto table = [&](int32_t fields, int32_t rows) {
        TTableData* t = object.AddTable();
        t->SetName("T" + std::to_string(object.GetTableCount()));
        t->SetFieldCount(fields);
        for (int32_t f = 0; f < fields; ++f) t->GetField(f)->Size = static_cast<uint8_t>(1 + f % 4);
        t->SetRowCount(rows);
        t->SetDataSetCount(tableSets);
        for (int32_t d = 0; d < tableSets; ++d)
            for (int32_t r = 0; r < rows; ++r) {
                uint32_t* row = t->RowCells(d, r);
                for (int32_t f = 0; f < fields; ++f) row[f] = static_cast<uint32_t>(d + r + f) & 0xFF;
            }
    };
    for (int i = 0; i < 4; ++i) table(16, 4000);
    table(8, 65535);
}

// The core benchmark's type: one table of 64 fields by 20,000 rows with 8
// data sets (41 MB of cells).
void FillCoreType(TTypeObjectData& object) {
    object.SetTypeName("BIG");
    TTableData* t = object.AddTable();
    t->SetFieldCount(64);
    for (int32_t f = 0; f < 64; ++f) t->GetField(f)->Size = 4;
    t->SetRowCount(20000);
    t->SetDataSetCount(8);
    for (int32_t d = 0; d < 8; ++d)
        for (int32_t r = 0; r < 20000; ++r) {
            uint32_t* row = t->RowCells(d, r);
            for (int32_t f = 0; f < 64; ++f) row[f] = static_cast<uint32_t>(d * 7 + r * 64 + f);
        }
}

struct Program {
    std::unique_ptr<TfrmQX318MainForm> Main;
    Program() {
        setenv("XDG_DATA_HOME", (Folder() / "data").c_str(), 1);
        RegisterTypeEditor();
        Main = std::make_unique<TfrmQX318MainForm>();
        Main->resize(1280, 1024);
        Main->show();
        QApplication::processEvents();
    }
};

Program& TheProgram() {
    static Program program;
    return program;
}

std::string LargeFile(int32_t tableSets) {
    const std::string path = (Folder() / ("large" + std::to_string(tableSets) + ".mtp")).string();
    if (!fs::exists(path)) {
        static uint8_t formats[100] = {};
        TTypeObjectData object(formats);
        FillLargeType(object, tableSets);
        object.SaveToFile(path);
    }
    return path;
}

// The heap a type read from the file holds.
int64_t ModelBytes(const std::string& path) {
    static uint8_t formats[100] = {};
    const int64_t before = HeapNow;
    auto object = std::make_unique<TTypeObjectData>(formats);
    object->LoadFromFile(path);
    return HeapNow - before;
}

TfrmTypeObject* OpenShown(const std::string& path) {
    TfrmTypeObject* w = OpenTypeObject(&TheProgram().Main->App, path);
    if (w) {
        w->showMaximized();
        QApplication::processEvents();
    }
    return w;
}

void Close(TfrmTypeObject* w) {
    w->Modified = false;
    delete w;
    QApplication::processEvents();
}

// The CPU time of the calling thread, in seconds.
double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Opening the window against its floor: the same file loaded into a model
// with no window (the core's type-file load), in the same run. "x_load" in
// wall time, "x_load_cpu" in the thread's CPU time (steadier on a busy
// machine). The two take turns going first, so that neither always gets the
// heap the other has just given back.
void BM_OpenTypeWindow(benchmark::State& state) {
    static uint8_t formats[100] = {};
    const std::string path = LargeFile(static_cast<int32_t>(state.range(0)));
    TheProgram();
    const int64_t model = ModelBytes(path);
    int64_t window = 0;
    double open = 0, load = 0, openCpu = 0, loadCpu = 0;
    const auto loadAlone = [&] {
        auto object = std::make_unique<TTypeObjectData>(formats);
        const auto l0 = std::chrono::steady_clock::now();
        const double d0 = ThreadCpuSeconds();
        if (!object->LoadFromFile(path)) state.SkipWithError("load failed");
        loadCpu += ThreadCpuSeconds() - d0;
        load += std::chrono::duration<double>(std::chrono::steady_clock::now() - l0).count();
    };
    bool floorFirst = false;
    for (auto _ : state) {
        if (floorFirst) {
            state.PauseTiming();
            loadAlone();
            state.ResumeTiming();
        }
        const int64_t before = HeapNow;
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = ThreadCpuSeconds();
        TfrmTypeObject* w = OpenShown(path);
        const double c1 = ThreadCpuSeconds();
        const auto t1 = std::chrono::steady_clock::now();
        if (!w || !w->isVisible()) state.SkipWithError("not opened");
        state.PauseTiming();
        window = HeapNow - before;
        Close(w);
        if (!floorFirst) loadAlone();
        floorFirst = !floorFirst;
        open += std::chrono::duration<double>(t1 - t0).count();
        openCpu += c1 - c0;
        state.ResumeTiming();
    }
    state.counters["model_MB"] = static_cast<double>(model) / 1e6;
    state.counters["window_x_model"] = static_cast<double>(window) / static_cast<double>(model);
    state.counters["open_ms"] = 1e3 * open / static_cast<double>(state.iterations());
    state.counters["load_ms"] = 1e3 * load / static_cast<double>(state.iterations());
    state.counters["x_load"] = open / load;
    state.counters["x_load_cpu"] = openCpu / loadCpu;
}

void BM_SwitchToLongTable(benchmark::State& state) {
    TfrmTypeObject* w = OpenShown(LargeFile(1));
    for (auto _ : state) {
        w->TabControl->setCurrentIndex(6);  // the 65,535-row table
        QApplication::processEvents();
        state.PauseTiming();
        if (w->DataGrid->model()->rowCount() != 65536) state.SkipWithError("wrong tab");
        w->TabControl->setCurrentIndex(0);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    Close(w);
}

void BM_PaintOneScreen(benchmark::State& state) {
    TfrmTypeObject* w = OpenShown(LargeFile(1));
    w->TabControl->setCurrentIndex(static_cast<int>(state.range(0)));
    QApplication::processEvents();
    QPixmap screen(w->DataGrid->viewport()->size());
    int64_t cells = 0;
    for (auto _ : state) {
        w->DataGrid->viewport()->render(&screen);
        state.PauseTiming();
        const QTableView* v = w->DataGrid;
        const int rows = v->rowAt(v->viewport()->height() - 1), cols = v->columnAt(v->viewport()->width() - 1);
        cells = int64_t(rows < 0 ? v->model()->rowCount() : rows + 1) *
                (cols < 0 ? v->model()->columnCount() : cols + 1);
        state.ResumeTiming();
    }
    state.counters["cells"] = static_cast<double>(cells);
    Close(w);
}

// Saving with the type window's save against one write, fsync and rename of
// as many bytes.
void BM_SaveAgainstFloor(benchmark::State& state) {
    TfrmTypeObject* w = OpenTypeObject(&TheProgram().Main->App, std::string());
    FillCoreType(*w->TypeData);
    const std::string path = (Folder() / "core.mtp").string();
    double save = 0, floor = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        if (!w->SaveToFile(path)) state.SkipWithError("save failed");
        const auto t1 = std::chrono::steady_clock::now();
        state.PauseTiming();
        const std::string bytes(fs::file_size(path), '\x5A');
        const std::string temp = path + ".floor";
        const auto f0 = std::chrono::steady_clock::now();
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) || ::fsync(fd) != 0)
            state.SkipWithError("floor write failed");
        ::close(fd);
        ::rename(temp.c_str(), (path + ".copy").c_str());
        const auto f1 = std::chrono::steady_clock::now();
        save += std::chrono::duration<double>(t1 - t0).count();
        floor += std::chrono::duration<double>(f1 - f0).count();
        state.ResumeTiming();
    }
    state.counters["floor_ms"] = 1e3 * floor / static_cast<double>(state.iterations());
    state.counters["save_ms"] = 1e3 * save / static_cast<double>(state.iterations());
    state.counters["x_floor"] = save / floor;
    Close(w);
}

// A structure command through its action: the selection it works on is
// set, the action triggered, and the events it leaves handled. What the
// command changed is undone, untimed, before the next run.
void RunStructureCommand(benchmark::State& state, int tab, const _TypeSelection& selection, QAction* TfrmTypeObject::*action,
                         const std::function<void(TfrmTypeObject&)>& undo) {
    _AppInterface& app = TheProgram().Main->App;
    app.ExpertMode = 1;
    TfrmTypeObject* w = OpenShown(LargeFile(1));
    w->TabControl->setCurrentIndex(tab);
    w->DataGrid->setFocus();
    QApplication::processEvents();
    for (auto _ : state) {
        w->Selection = selection;
        (w->*action)->trigger();
        QApplication::processEvents();
        state.PauseTiming();
        if (!w->Modified) state.SkipWithError("command refused");
        undo(*w);
        w->Refresh(false);
        w->Modified = false;
        QApplication::processEvents();
        state.ResumeTiming();
    }
    Close(w);
    app.ExpertMode = 0;
}

void BM_InsertParameterAtTop(benchmark::State& state) {
    _TypeSelection top;
    top.Kind = _TypeSelection::KindParameters;
    top.Parameter = 0;
    RunStructureCommand(state, 0, top, &TfrmTypeObject::actInsertParameter, [](TfrmTypeObject& w) {
        if (w.TypeData->GetTypeData().GetParameterCount() != 255) return;
        w.TypeData->GetTypeData().DeleteParameter(0);
    });
}

void BM_AddFieldToLongTable(benchmark::State& state) {
    _TypeSelection table;
    table.Kind = _TypeSelection::KindTable;
    table.Table = 4;  // 8 fields by 65,535 rows
    RunStructureCommand(state, 6, table, &TfrmTypeObject::actAddField, [](TfrmTypeObject& w) {
        TTableData* t = w.TypeData->GetTable(4);
        if (t->GetFieldCount() == 9) t->DeleteField(8);
    });
}

// Moving the last of the 254 parameters to the top with the Ctrl key held:
// Ctrl and 253 times Up (untimed, "gesture_ms" tells how long they took),
// then the move on Ctrl's release with the tree rebuilt and the grid laid
// out and painted again (timed).
void BM_MoveLastParameterToTop(benchmark::State& state) {
    TfrmTypeObject* w = OpenShown(LargeFile(1));
    w->TypeGrid->RowMove().CtrlHeld = [] { return true; };
    w->TypeGrid->RowMove().WindowActive = [] { return true; };
    QTableView* grid = w->DataGrid;
    auto send = [grid](QEvent::Type type, int key, Qt::KeyboardModifiers mods) {
        QKeyEvent event(type, key, mods);
        QApplication::sendEvent(grid, &event);
    };
    TTypeData6& def = w->TypeData->GetTypeData();
    const int32_t last = def.GetParameterCount() - 1;
    double gesture = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string moving = def.GetParamName(last, 0);
        w->TabControl->setCurrentIndex(0);
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(last + 1, 3));
        QApplication::processEvents();
        const auto g0 = std::chrono::steady_clock::now();
        send(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
        for (int32_t i = 0; i < last; ++i) {
            send(QEvent::KeyPress, Qt::Key_Up, Qt::ControlModifier);
            send(QEvent::KeyRelease, Qt::Key_Up, Qt::ControlModifier);
        }
        QApplication::processEvents();
        gesture += std::chrono::duration<double>(std::chrono::steady_clock::now() - g0).count();
        state.ResumeTiming();
        send(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
        w->Refresh(true);
        QApplication::processEvents();
        state.PauseTiming();
        if (def.GetParamName(0, 0) != moving || grid->currentIndex().row() != 1) state.SkipWithError("not moved");
        state.ResumeTiming();
    }
    state.counters["gesture_ms"] = 1e3 * gesture / static_cast<double>(state.iterations());
    Close(w);
}

// Every language, the parameters, the switches and every table.
std::string ExportLarge(TTypeObjectData& object, const std::string& path) {
    const std::vector<uint8_t> languages(static_cast<size_t>(object.GetTypeData().GetLanguageCount()), 1);
    const std::vector<uint8_t> tables(static_cast<size_t>(object.GetTableCount()), 1);
    return WriteTypeCSVFile(object, path, languages, true, true, tables).Saved ? path : std::string();
}

void BM_CsvExport(benchmark::State& state) {
    static uint8_t formats[100] = {};
    TTypeObjectData object(formats);
    FillLargeType(object, 1);
    const std::string path = (Folder() / "large.csv").string();
    for (auto _ : state)
        if (ExportLarge(object, path).empty()) state.SkipWithError("export failed");
    const auto bytes = static_cast<int64_t>(fs::file_size(path));
    state.SetBytesProcessed(bytes * state.iterations());
    state.counters["csv_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_CsvImport(benchmark::State& state) {
    static uint8_t formats[100] = {};
    const std::string path = (Folder() / "large-in.csv").string();
    {
        TTypeObjectData object(formats);
        FillLargeType(object, 1);
        if (ExportLarge(object, path).empty()) state.SkipWithError("export failed");
    }
    int32_t tables = 0;
    for (auto _ : state) {
        TTypeObjectData object(formats);
        CSVFile file(path, false);
        TCsvElements found = ScanCsvElements(file, formats);
        const std::vector<uint8_t> chosen(found.Tables.size(), 1);
        if (!ApplyCsvElements(object, found, true, chosen)) state.SkipWithError("import failed");
        tables = object.GetTableCount();
    }
    if (tables != 5) state.SkipWithError("tables missing");
    state.SetBytesProcessed(static_cast<int64_t>(fs::file_size(path)) * state.iterations());
}

// The report of the large type, from the window's creation to the preview
// shown with the report in it: its four tables of 16 fields by 4,000 rows
// (argument 0), or the whole type with the table of 65,535 rows as well (1).
void BM_TypeReport(benchmark::State& state) {
    static uint8_t formats[100] = {};
    TTypeObjectData type(formats);
    FillLargeType(type, 1);
    // The report's start beside a program folder of the benchmark's own.
    const fs::path bin = Folder() / "bin";
    fs::create_directories(bin);
    fs::copy_file(fs::path(QX_SOURCE_DIR) / "typeeditor/files/ReportFormat.dat",
                  bin / "ReportFormat.dat", fs::copy_options::overwrite_existing);
    SetProgramPathForTests((bin / "QX318Utility").string());
    _AppInterface& app = TheProgram().Main->App;
    size_t lines = 0;
    for (auto _ : state) {
        TfrmTypeObjectPrint w(&app, type, "large.mtp", 0);
        if (state.range(0) == 0) w.Items.tables[4] = 0;
        w.show();
        w.TimerTimer();
        QApplication::processEvents();
        state.PauseTiming();
        lines = w.Lines.size();
        if (w.RichEdit->document()->blockCount() < 1000) state.SkipWithError("no report shown");
        state.ResumeTiming();
    }
    SetProgramPathForTests("");
    state.counters["lines"] = static_cast<double>(lines);
}

}  // namespace

BENCHMARK(BM_TypeReport)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_InsertParameterAtTop)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();
BENCHMARK(BM_AddFieldToLongTable)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();
BENCHMARK(BM_MoveLastParameterToTop)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
BENCHMARK(BM_CsvExport)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_CsvImport)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_OpenTypeWindow)->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_SwitchToLongTable)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
BENCHMARK(BM_PaintOneScreen)->Arg(0)->Arg(2)->Arg(6)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
BENCHMARK(BM_SaveAgainstFloor)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TheProgram().Main.reset();
    std::error_code ec;
    fs::remove_all(Folder(), ec);
    return 0;
}
