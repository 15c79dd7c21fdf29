// Request-reply exchanges through the whole link (facade, scheduler, framing,
// port, a simulated unit on a pseudo-terminal and back), each next request
// sent from the previous reply's handler as a communication run does; and the
// CPU the link's threads take while it is idle.
#include "Basecommodule.h"
#include "BenchOnce.h"
#include "SimUnit.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Port = 7;
constexpr int Exchanges = 200;

double ProcessCpuSeconds() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

void BM_LinkExchange(benchmark::State& state) {
    SimUnit sim;
    sim.MapComPort(Port);
    TBaseComModule link(nullptr);
    if (!link.Open(Port, 2)) {
        state.SkipWithError(link.OpenError().c_str());
        return;
    }
    std::mutex lock;
    std::condition_variable done;
    std::vector<Clock::time_point> at;
    at.reserve(Exchanges + 1);
    int left = 0;
    int failures = 0;
    const auto next = [&](bool reply) {
        std::lock_guard g(lock);
        at.push_back(Clock::now());
        if (!reply) ++failures;
        if (--left > 0)
            link.Send();
        else
            done.notify_all();
    };
    link.SetOnReceive([&] { next(true); });
    link.SetOnError([&] { next(false); });
    _TlgrHeader* header = link.GetHeader();
    header->Fnc = 0xC3;
    header->Length = 0;

    std::vector<double> gaps;
    for (auto _ : state) {
        {
            std::lock_guard g(lock);
            at.clear();
            at.push_back(Clock::now());
            left = Exchanges;
        }
        link.Send();
        std::unique_lock g(lock);
        done.wait(g, [&] { return left == 0; });
        for (size_t i = 1; i < at.size(); ++i)
            gaps.push_back(std::chrono::duration<double, std::milli>(at[i] - at[i - 1]).count());
    }
    link.SetOnReceive(nullptr);
    link.SetOnError(nullptr);
    std::sort(gaps.begin(), gaps.end());
    state.counters["exchanges"] = static_cast<double>(gaps.size());
    state.counters["failures"] = failures;
    // The shortest gap tells whether a request sent from a reply's handler
    // waits for the scheduler's 50 ms idle wait: it does not when this is
    // near the 5 ms drain.
    state.counters["min_ms"] = gaps.front();
    state.counters["median_ms"] = gaps[gaps.size() / 2];
    state.counters["p90_ms"] = gaps[gaps.size() * 9 / 10];
    state.counters["max_ms"] = gaps.back();
    state.counters["drain_ms"] = 5;
    unsetenv(("QX318_COM" + std::to_string(Port)).c_str());
}
BENCHMARK(BM_LinkExchange)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Arg 0: threads started, no port open; arg 1: a port open, no traffic.
void BM_LinkIdleCpu(benchmark::State& state) {
    SimUnit sim;
    sim.MapComPort(Port);
    TBaseComModule link(nullptr);
    if (state.range(0) && !link.Open(Port, 2)) {
        state.SkipWithError(link.OpenError().c_str());
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    for (auto _ : state) {
        const double cpu0 = ProcessCpuSeconds();
        const auto t0 = Clock::now();
        std::this_thread::sleep_for(BenchSpan(std::chrono::seconds(3)));
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        state.counters["cpu_percent_of_core"] = 100.0 * (ProcessCpuSeconds() - cpu0) / wall;
    }
    unsetenv(("QX318_COM" + std::to_string(Port)).c_str());
}
BENCHMARK(BM_LinkIdleCpu)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
