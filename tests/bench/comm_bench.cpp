// Communication runs through the services against the simulated unit on a
// pseudo-terminal: a 16 KiB block written and read back, and a 500-line
// S-record program written and its slot status read back. Reported per
// packet: the time from one request to the next (the framing layer drains
// the line for 5 ms before each request) and what it takes beyond that drain.
#include "BenchOnce.h"
#include "CommDriver.h"
#include "Messages.h"
#include "Mlsunit.h"
#include "SimUnit.h"
#include "SimUnitServices.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

namespace {

constexpr double DrainMs = 5.0;

struct Rig {
    SimUnit sim;
    SimUnitServices unit{sim};
    TMLSUnit texts{BuiltInMessages, std::string()};
    TBaseComModule link{&texts};
    Rig() { MapComPorts({{1, &sim}}); }
    ~Rig() { ClearComPorts(); }
};

// Time per request over the requests after the search.
void Report(benchmark::State& state, const std::vector<double>& perPacket, size_t packets, int failures) {
    double sum = 0;
    for (double v : perPacket) sum += v;
    const double mean = perPacket.empty() ? 0 : sum / static_cast<double>(perPacket.size());
    state.counters["packets"] = static_cast<double>(packets);
    state.counters["ms_per_packet"] = mean;
    state.counters["ms_beyond_drain"] = mean - DrainMs;
    state.counters["failures"] = failures;
}

double PacketMs(const SimUnit& sim, size_t& packets) {
    const auto requests = sim.Requests();
    size_t first = 0;
    while (first < requests.size() && requests[first].Fnc == 0xC3) ++first;
    packets = requests.size() - first;
    if (packets < 2) return 0;
    return std::chrono::duration<double, std::milli>(requests.back().At - requests[first].At).count() /
           static_cast<double>(packets - 1);
}

void BM_Block16KiB(benchmark::State& state) {
    Rig rig;
    std::vector<uint8_t> data(16384);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 13);
    std::vector<double> perPacket;
    size_t packets = 0;
    int failures = 0;
    uint8_t index = 0;
    for (auto _ : state) {
        TQXBlockMem block;
        block.Index = index;
        block.SetData(data.data(), static_cast<uint32_t>(data.size()));
        block.Header[0] = 3;
        TQXBlockMem back;
        back.Index = index++;
        TCommCmdList list;
        list.Add()->Service = csWriteBlock;
        list.Get(0)->Data = &block;
        list.Add()->Service = csReadBlock;
        list.Get(1)->Data = &back;
        rig.sim.ClearRecords();
        CommDriver driver;
        const auto out = driver.Run(rig.link, list);
        if (!out.Result.Succeeded() || back.GetDataLength() != data.size() ||
            !std::equal(data.begin(), data.end(), back.Data()))
            ++failures;
        perPacket.push_back(PacketMs(rig.sim, packets));
    }
    Report(state, perPacket, packets, failures);
}

void BM_SRecord500Lines(benchmark::State& state) {
    Rig rig;
    TTextLines lines;
    for (int n = 0; n < 500; ++n) {
        const uint16_t address = static_cast<uint16_t>(n * 16);
        uint8_t body[19] = {0x13, static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address)};
        unsigned sum = body[0] + body[1] + body[2];
        for (int i = 0; i < 16; ++i) sum += body[3 + i] = static_cast<uint8_t>(n + i);
        std::string line = "S1";
        char pair[3];
        for (uint8_t b : body) {
            std::snprintf(pair, sizeof pair, "%02X", b);
            line += pair;
        }
        std::snprintf(pair, sizeof pair, "%02X", 0xFF - (sum & 0xFF));
        lines.push_back(line + pair);
    }
    std::vector<double> perPacket;
    size_t packets = 0;
    int failures = 0;
    for (auto _ : state) {
        std::vector<uint8_t> status(23, 0);
        TCommCmdList list;
        list.Add()->Service = csWriteSRec;
        list.Get(0)->Lines = &lines;
        list.Get(0)->Name = "BENCH";
        list.Add()->Service = csSRecStatus;
        list.Get(1)->Data = status.data();
        list.Add()->Service = csClearSRec;
        list.Get(2)->Name = "BENCH";
        rig.sim.ClearRecords();
        CommDriver driver;
        const auto out = driver.Run(rig.link, list);
        if (!out.Result.Succeeded() || status[0] != 1) ++failures;
        perPacket.push_back(PacketMs(rig.sim, packets));
    }
    Report(state, perPacket, packets, failures);
}

}  // namespace

BENCHMARK(BM_Block16KiB)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(3));
BENCHMARK(BM_SRecord500Lines)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(3));
BENCHMARK_MAIN();
