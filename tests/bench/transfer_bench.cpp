// Type PC -> QX and Type QX -> PC through the real type window against the
// simulated unit on a pseudo-terminal, for a type whose blocks hold about
// 64 KiB (two tables of 8000 four-byte cells). Reported per run: the time
// per block packet and the longest stall of the GUI thread's event loop,
// measured by a 2 ms timer while the run goes on.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "AppFolders.h"
#include "BenchOnce.h"
#include "CommDriver.h"
#include "Dialogs.h"
#include "LanguageSelect.h"
#include "Main.h"
#include "SimUnit.h"
#include "SimUnitServices.h"
#include "Tabledata.h"
#include "TypeObject.h"
#include "TypeWindow.h"
#include "Typedata.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t Rows = 8000;

struct Setup {
    fs::path Root;
    SimUnit Sim;
    SimUnitServices Unit{Sim};
    std::unique_ptr<TfrmQX318MainForm> Main;
    TfrmTypeObject* Window = nullptr;

    Setup() {
        Root = fs::temp_directory_path() / ("qxtransfer-bench-" + std::to_string(getpid()));
        fs::create_directories(Root / "bin");
        fs::create_directories(Root / "data");
        SetProgramPathForTests((Root / "bin" / "QX318Utility").string());
        setenv("XDG_DATA_HOME", (Root / "data").c_str(), 1);
        setenv("QX318_REGISTRY", (Root / "registry.ini").c_str(), 1);
        SetMessageBoxHook([](const TMessageRequest&) { return QMessageBox::Yes; });
        TfrmLanguageSelect::SetAnswerHook([](TfrmLanguageSelect& d) { return d.btnOk->click(), d.result(); });
        MapComPorts({{1, &Sim}});
        RegisterTypeEditor();
        Main = std::make_unique<TfrmQX318MainForm>();
        Main->show();
        Main->App.ComPort = 1;
        Window = OpenTypeObject(&Main->App, std::string());
        TTypeObjectData& type = *Window->TypeData;
        type.SetTypeName("BENCH");
        type.GetTypeData().SetLanguageCount(2);
        type.GetTypeData().SetParameterCount(20);
        for (const char* name : {"Curve1", "Curve2"}) {
            TTableData* table = type.AddTable();
            table->SetName(name);
            table->SetFieldCount(1);
            table->GetField(0)->Size = 4;
            table->SetRowCount(Rows);
            for (int32_t r = 0; r < Rows; ++r) table->SetValue(0, r, 0, static_cast<uint32_t>(r * 2654435761u));
        }
        Window->Refresh(false);
    }
    ~Setup() {
        Window->Modified = false;
        Main.reset();
        ClearComPorts();
        std::error_code ec;
        fs::remove_all(Root, ec);
    }
};

Setup& Shared() {
    static Setup* setup = new Setup;
    return *setup;
}

// Runs the command while a 2 ms timer measures the event loop; the longest
// gap between two ticks beyond the timer's interval is the stall.
template <typename Command>
double RunMeasuringStalls(Command command) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, worst = 0;
    QTimer tick;
    tick.setInterval(2);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (last) worst = std::max(worst, now - last);
        last = now;
    });
    tick.start();
    command();
    tick.stop();
    return worst / 1e6;
}

size_t BlockPackets(const SimUnit& sim) {
    size_t n = 0;
    for (const auto& r : sim.Requests()) n += r.Fnc == 0x14 || r.Fnc == 0x94;
    return n;
}

void Transfer(benchmark::State& state, bool upload) {
    Setup& s = Shared();
    double stall = 0, perPacket = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.Unit.Restore(SimUnitServices::Contents{s.Unit.Snapshot().Memory, {}, {}});
        if (upload) s.Window->actDownloadType->trigger();
        s.Sim.ClearRecords();
        QElapsedTimer clock;
        state.ResumeTiming();
        clock.start();
        stall = std::max(stall, RunMeasuringStalls([&] {
                             (upload ? s.Window->actUploadType : s.Window->actDownloadType)->trigger();
                         }));
        const double ms = clock.nsecsElapsed() / 1e6;
        state.PauseTiming();
        const size_t packets = BlockPackets(s.Sim);
        if (packets == 0 || (!upload && s.Unit.BlockCount() != 6)) state.SkipWithError("the type did not travel");
        perPacket = packets ? ms / static_cast<double>(packets) : 0;
        state.ResumeTiming();
    }
    state.counters["ms_per_packet"] = perPacket;
    state.counters["max_gui_stall_ms"] = stall;
}

void BM_DownloadType64KiB(benchmark::State& state) { Transfer(state, false); }
BENCHMARK(BM_DownloadType64KiB)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(3));

void BM_UploadType64KiB(benchmark::State& state) { Transfer(state, true); }
BENCHMARK(BM_UploadType64KiB)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(3));

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete &Shared();
    return 0;
}
