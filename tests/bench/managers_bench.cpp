// The unit managers on large content: the memory manager's block tree of a
// unit holding 500 blocks (50 types, each with its parameters, two data
// sets, three tables and their data sets... cut to 500) built into the real
// tree view, and the Program Manager's eight segment rows painted with every
// segment in use.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTableWidget>
#include <QTreeWidget>
#include <filesystem>
#include <memory>
#include <string>

#include "AppFolders.h"
#include "Appinterface.h"
#include "BenchOnce.h"
#include "CommDriver.h"
#include "Dialogs.h"
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
    SetMessageBoxHook([](const TMessageRequest&) { return QMessageBox::Ok; });
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

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
