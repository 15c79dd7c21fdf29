// The unit managers on large content: the memory manager's block tree of a
// unit holding 500 blocks (50 types, each with its parameters, two data
// sets, three tables and their data sets... cut to 500) built into the real
// tree view, and the Program Manager's eight segment rows painted with every
// segment in use. Also the figures the unit tests leave to a quiet machine:
// a memory page dumped into text (target 5 ms), 10,000 lines through the
// number converter (target 100 ms), and the Memory Viewer's read of one
// page in packets ("per_packet_ms", target the 5 ms drain and 1 ms; "fill_ms"
// the dump put into the window).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTableWidget>
#include <QTreeWidget>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "AppFolders.h"
#include "Appinterface.h"
#include "BenchOnce.h"
#include "CommDriver.h"
#include "ConvertText.h"
#include "Dialogs.h"
#include "MemView.h"
#include "MemViewText.h"
#include "MemoryManager.h"
#include "ProgramManager.h"
#include "SimUnit.h"
#include "SimUnitServices.h"

namespace {

namespace fs = std::filesystem;

std::string Padded(std::string name) {
    name.resize(16, ' ');
    return name;
}

// 50 types of 10 blocks: Parameters Text, Parameters Data, four tables each
// with a Table Text and a Table Data block.
TQXBlockInfoList UnitBlocks() {
    TQXBlockInfoList list;
    auto add = [&](uint32_t kind, const std::string& name, const std::string& owner) {
        _QXBlockInfo* info = list.Add();
        info->Kind = kind;
        info->Name = Padded(name);
        info->OwnerName = owner.empty() ? std::string() : Padded(owner);
    };
    for (int t = 0; t < 50; ++t) {
        const std::string type = "TYPE" + std::to_string(t);
        add(BlockParametersText, type, "");
        add(BlockParametersData, "Main", type);
        for (int k = 0; k < 4; ++k) {
            const std::string table = "Table" + std::to_string(k);
            add(BlockTableText, table, type);
            add(BlockTableData, table, type);
        }
    }
    return list;
}

void BM_BlockTreeOf500Blocks(benchmark::State& state) {
    static _AppInterface* app = new _AppInterface;
    const TQXBlockInfoList blocks = UnitBlocks();
    QTreeWidget view;
    TTreeWidgetSink sink(&view, app);
    TBlockTree tree([](uint32_t id) { return app->Text(id); }, &blocks, &sink);
    for (auto _ : state) {
        tree.Build(true);
        benchmark::DoNotOptimize(view.topLevelItem(0));
    }
    if (blocks.Count() != 500 || view.topLevelItem(0)->childCount() != 50) state.SkipWithError("wrong tree");
}
BENCHMARK(BM_BlockTreeOf500Blocks)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(50));

void BM_ProgramManagerPaintsEightRows(benchmark::State& state) {
    const fs::path root = fs::temp_directory_path() / ("qxprog-bench-" + std::to_string(getpid()));
    fs::create_directories(root / "bin");
    SetProgramPathForTests((root / "bin" / "QX318Utility").string());
    TDialogAnswers::Set<TMessageBoxDialog>([](const TMessageRequest&) { return QMessageBox::Ok; });
    SimUnit sim;
    SimUnitServices unit(sim);
    for (int s = 0; s < 8; ++s) unit.PutProgram(s, "PROGRAM" + std::to_string(s), std::vector<uint8_t>(30000, 1));
    MapComPorts({{1, &sim}});
    {
        _AppInterface app;
        app.ComPort = 1;
        std::unique_ptr<TfrmProgramManager> w(static_cast<TfrmProgramManager*>(OpenProgramManager(&app)));
        w->resize(320, 560);
        w->RefreshStatus();
        if (!w->Connected()) state.SkipWithError("not connected");
        w->DataGrid->setCurrentCell(3, 0);
        QImage image(320, 60 * 8, QImage::Format_RGB32);
        for (auto _ : state) {
            QPainter painter(&image);
            for (int r = 0; r < 8; ++r) w->DataGridDrawCell(painter, r, QRect(0, 60 * r, 300, 60), r == 3);
        }
    }
    ClearComPorts();
    std::error_code ec;
    fs::remove_all(root, ec);
}
BENCHMARK(BM_ProgramManagerPaintsEightRows)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(100));

void BM_MemViewPageDump(benchmark::State& state) {
    std::vector<uint8_t> page(MemPageSize);
    for (size_t i = 0; i < page.size(); ++i) page[i] = static_cast<uint8_t>(i * 7);
    for (auto _ : state) benchmark::DoNotOptimize(DumpPage(0x8000, page.data()));
}
BENCHMARK(BM_MemViewPageDump)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(50));

void BM_ConvertTenThousandLines(benchmark::State& state) {
    const std::vector<std::string> lines(10000, "0x12, 0x34, 0xFFFF, 0x8000 0x7F:0x1234/0xABCD#0xFF");
    TConvertOptions options;
    options.Bytes = "2";
    options.Signed = true;
    for (auto _ : state) {
        const TConvertResult r = ConvertLines(lines, options);
        if (r.Lines.size() != 10000) state.SkipWithError("lines lost");
    }
}
BENCHMARK(BM_ConvertTenThousandLines)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(10));

void BM_MemViewPageRead(benchmark::State& state) {
    TDialogAnswers::Set<TMessageBoxDialog>([](const TMessageRequest&) { return QMessageBox::Ok; });
    SimUnit sim;
    SimUnitServices unit(sim);
    unit.SetMemory(0x8000, std::vector<uint8_t>(MemPageSize, 0x5A));
    MapComPorts({{1, &sim}});
    double perPacket = 0, fill = 0;
    {
        _AppInterface app;
        app.ComPort = 1;
        std::unique_ptr<TfrmMemView> w(static_cast<TfrmMemView*>(OpenMemView(&app)));
        for (auto _ : state) {
            const size_t before = sim.Requests().size();
            w->actRefreshPage->trigger();
            state.PauseTiming();
            std::vector<SimUnit::Request> reads;
            const auto all = sim.Requests();
            for (size_t i = before; i < all.size(); ++i)
                if (all[i].Fnc != 0xC3 && (reads.empty() || reads.back().Frame != all[i].Frame)) reads.push_back(all[i]);
            if (!w->Valid() || reads.size() != 59) state.SkipWithError("page not read");
            perPacket += std::chrono::duration<double, std::milli>(reads.back().At - reads.front().At).count() /
                         static_cast<double>(reads.size() - 1);
            const auto f0 = std::chrono::steady_clock::now();
            w->FillDump();
            fill += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - f0).count();
            state.ResumeTiming();
        }
    }
    state.counters["per_packet_ms"] = perPacket / static_cast<double>(state.iterations());
    state.counters["fill_ms"] = fill / static_cast<double>(state.iterations());
    state.counters["drain_ms"] = 5;
    ClearComPorts();
}
BENCHMARK(BM_MemViewPageRead)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(5))->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
