// Type PC -> QX and Type QX -> PC through the real type window against the
// simulated unit on a pseudo-terminal, for a type whose blocks hold about
// 64 KiB (two tables of 8000 four-byte cells). Reported per run:
// - ms_per_packet, p90_ms_per_packet: the pace of the link, the median and
//   the 90th percentile of the intervals between two requests at the unit.
//   Each request waits for 5 ms of silence on the line before it goes (the
//   framing layer drains stale bytes), so 5 ms is the floor and 6 ms the
//   target;
// - run_ms_per_packet: the whole command per request, with the
//   communication dialog's 100 ms polls at the start and the end;
// - max_gui_stall_ms: the longest stall of the GUI thread's event loop,
//   measured by a 2 ms timer while the command runs (target below 50 ms);
// - max_gui_busy_ms: the most processor time the GUI thread itself spent
//   within one such gap (the rest of a gap is the machine's other work).
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

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
        TDialogAnswers::Set<TMessageBoxDialog>([](const TMessageRequest&) { return QMessageBox::Yes; });
        TDialogAnswers::Set<TfrmLanguageSelect>([](TfrmLanguageSelect& d) { return d.btnOk->click(), d.result(); });
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

// The GUI thread's own processor time in nanoseconds.
qint64 ThreadCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64{t.tv_sec} * 1000000000 + t.tv_nsec;
}

struct Stalls {
    double Worst = 0;  // the longest gap between two ticks, ms
    double Busy = 0;   // the most processor time the GUI thread spent in one gap, ms
};

// Runs the command while a 2 ms timer measures the event loop: the longest
// gap between two ticks is the stall. On a busy machine a gap also holds
// the time the thread waited for a processor; what the thread itself did in
// a gap is its processor time there.
template <typename Command>
Stalls RunMeasuringStalls(Command command) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, lastCpu = 0, worst = 0, busy = 0;
    QTimer tick;
    tick.setInterval(2);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed(), cpu = ThreadCpuNs();
        if (last) {
            worst = std::max(worst, now - last);
            busy = std::max(busy, cpu - lastCpu);
        }
        last = now;
        lastCpu = cpu;
    });
    tick.start();
    command();
    tick.stop();
    return {worst / 1e6, busy / 1e6};
}

size_t BlockPackets(const std::vector<SimUnit::Request>& requests) {
    size_t n = 0;
    for (const auto& r : requests) n += r.Fnc == 0x14 || r.Fnc == 0x94;
    return n;
}

// The intervals between the requests the unit received, in milliseconds,
// in ascending order. The upload's two runs leave one interval of the
// communication dialog's polls between them.
std::vector<double> RequestIntervals(const std::vector<SimUnit::Request>& requests) {
    std::vector<double> gaps;
    for (size_t i = 1; i < requests.size(); ++i)
        gaps.push_back(std::chrono::duration<double, std::milli>(requests[i].At - requests[i - 1].At).count());
    std::sort(gaps.begin(), gaps.end());
    return gaps;
}

void Transfer(benchmark::State& state, bool upload) {
    Setup& s = Shared();
    double median = 0, p90 = 0, perPacket = 0;
    Stalls stalls;
    int runs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.Unit.Restore(SimUnitServices::Contents{s.Unit.Snapshot().Memory, {}, {}});
        if (upload) s.Window->actDownloadType->trigger();
        s.Sim.ClearRecords();
        QElapsedTimer clock;
        state.ResumeTiming();
        clock.start();
        const Stalls run = RunMeasuringStalls(
            [&] { (upload ? s.Window->actUploadType : s.Window->actDownloadType)->trigger(); });
        stalls.Worst = std::max(stalls.Worst, run.Worst);
        stalls.Busy = std::max(stalls.Busy, run.Busy);
        const double ms = clock.nsecsElapsed() / 1e6;
        state.PauseTiming();
        const std::vector<SimUnit::Request> requests = s.Sim.Requests();
        if (BlockPackets(requests) == 0 || (!upload && s.Unit.BlockCount() != 6))
            state.SkipWithError("the type did not travel");
        // The mean of the runs: the machine's other work shows in single runs.
        const std::vector<double> gaps = RequestIntervals(requests);
        if (!gaps.empty()) {
            ++runs;
            median += gaps[gaps.size() / 2];
            p90 += gaps[gaps.size() * 9 / 10];
            perPacket += ms / static_cast<double>(requests.size());
        }
        state.counters["packets"] = static_cast<double>(requests.size());
        state.ResumeTiming();
    }
    state.counters["ms_per_packet"] = runs ? median / runs : 0;
    state.counters["p90_ms_per_packet"] = runs ? p90 / runs : 0;
    state.counters["run_ms_per_packet"] = runs ? perPacket / runs : 0;
    state.counters["max_gui_stall_ms"] = stalls.Worst;
    state.counters["max_gui_busy_ms"] = stalls.Busy;
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
