// qx318-sim as a user runs it: its own process, found by the unit search
// through the line it prints, keeping its unit in a state file, tracing the
// frames and committing the faults it is asked for.
#include "CommDriver.h"
#include "Messages.h"
#include "Mlsunit.h"
#include "QXBlock.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <poll.h>
#include <regex>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {
using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;
using namespace std::string_literals;

// The simulator with its standard output and error on one pipe.
class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> args) {
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, out[1], 2);
        args.insert(args.begin(), QX_SIM_PROGRAM);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        const int rc = posix_spawn(&Pid, QX_SIM_PROGRAM, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        Out = out[0];
        if (rc != 0) throw std::runtime_error("cannot start the simulator");
    }
    ~SimProcess() {
        if (Pid > 0) {
            kill(Pid, SIGKILL);
            waitpid(Pid, nullptr, 0);
        }
        ::close(Out);
    }

    // The next line it printed; empty after the limit or at its end.
    std::string Line(std::chrono::milliseconds limit = 10s) {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            if (auto nl = Pending.find('\n'); nl != std::string::npos) {
                std::string line = Pending.substr(0, nl);
                Pending.erase(0, nl + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0) return {};
            pollfd p{Out, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left.count())) <= 0) return {};
            char buffer[4096];
            const ssize_t n = ::read(Out, buffer, sizeof buffer);
            if (n <= 0) {
                std::string rest;
                rest.swap(Pending);
                return rest;
            }
            Pending.append(buffer, static_cast<size_t>(n));
        }
    }
    // Lines until one matches; every line read lands in *seen.
    bool LineMatching(const std::regex& pattern, std::vector<std::string>* seen = nullptr) {
        for (;;) {
            const std::string line = Line();
            if (line.empty()) return false;
            if (seen) seen->push_back(line);
            if (std::regex_search(line, pattern)) return true;
        }
    }
    // The device from the QX318_COM1= line, after the line before it.
    std::string Device() {
        for (int i = 0; i < 2; ++i) {
            const std::string line = Line();
            if (line.rfind("QX318_COM1=", 0) == 0) return line.substr(11);
        }
        return {};
    }
    // Sends the signal and waits for the exit; the exit status, 128 plus the
    // signal that ended it, or -1 when it does not end within 20 s.
    int Stop(int signal = SIGTERM) { return Wait(signal); }
    int Wait(int signal = 0) {
        if (signal) kill(Pid, signal);
        int status = 0;
        const auto end = std::chrono::steady_clock::now() + 20s;
        while (waitpid(Pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > end) return -1;
            std::this_thread::sleep_for(5ms);
        }
        Pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    // Everything it prints until it ends.
    std::string Rest() {
        std::string all;
        all.swap(Pending);
        pollfd p{Out, POLLIN, 0};
        char buffer[4096];
        for (ssize_t n = 1; n > 0 && poll(&p, 1, 10000) > 0;) {
            n = ::read(Out, buffer, sizeof buffer);
            if (n > 0) all.append(buffer, static_cast<size_t>(n));
        }
        return all;
    }

private:
    pid_t Pid = -1;
    int Out = -1;
    std::string Pending;
};

class SimProgram : public ::testing::Test {
protected:
    TMLSUnit texts{BuiltInMessages, std::string()};
    std::unique_ptr<TBaseComModule> link;
    TCommCmdList list;
    std::filesystem::path folder;

    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("qx318-sim-test-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        link = std::make_unique<TBaseComModule>(&texts);
    }
    void TearDown() override {
        link.reset();
        ClearComPorts();
        std::filesystem::remove_all(folder);
    }
    // Every port missing but COM1, which the simulator's line names.
    static void Use(const std::string& device) {
        MapComPorts({});
        setenv("QX318_COM1", device.c_str(), 1);
    }
    CommDriver::Outcome Go(_QXModelVersion* model = nullptr) {
        CommDriver driver;
        int32_t port = 1;
        _QXModelVersion any;
        const auto out = driver.Run(*link, list, &port, 2, model ? model : &any);
        list.Clear();
        return out;
    }
    _CommCmd* Add(int32_t service) {
        _CommCmd* c = list.Add();
        c->Service = service;
        c->Caption = "Command";
        return c;
    }
    // A memory read or write of the whole buffer at the address.
    void AddMemory(int32_t service, uint32_t address, Bytes& buffer) {
        auto* c = Add(service);
        c->Param = static_cast<int32_t>(address);
        c->Data = buffer.data();
        c->Length = static_cast<int32_t>(buffer.size());
    }
};

TQXBlockMem Block(uint8_t memType, uint8_t index, const std::string& name) {
    Bytes data(40, 0x5C);
    std::fill_n(data.begin(), 17, 0);
    std::copy(name.begin(), name.end(), data.begin());
    TQXBlockMem b;
    b.MemType = memType;
    b.Index = index;
    const uint8_t header[6] = {3, 0, 46, 0, 0x01, 0x02};
    std::copy(header, header + 6, b.Header);
    b.SetData(data.data(), static_cast<uint32_t>(data.size()));
    return b;
}

Bytes DataOf(const TQXBlockMem& b) { return Bytes(b.Data(), b.Data() + b.GetDataLength()); }
}  // namespace

TEST_F(SimProgram, UnitSearchFindsItAndABlockWrittenReadsBack) {
    SimProcess sim({});
    const std::string first = sim.Line();
    EXPECT_NE(first.find("\"V2.7\""), std::string::npos) << first;
    const std::string device = sim.Device();
    ASSERT_TRUE(std::regex_match(device, std::regex("/dev/pts/[0-9]+"))) << device;
    EXPECT_NE(first.find(device), std::string::npos) << first;
    Use(device);

    // A run expecting a unit of major version 2 finds it on COM1.
    _QXModelVersion model;
    model.SetText("V2.0");
    TQXBlockMem written = Block(0, 0, "PUMP");
    Add(csWriteBlock)->Data = &written;
    auto out = Go(&model);
    EXPECT_TRUE(out.Result.Succeeded()) << out.Log;
    EXPECT_EQ(model.GetText(), "V2.7");

    TQXBlockMem read;
    read.MemType = 0;
    read.Index = 0;
    Add(csReadBlockDescr)->Data = &read;
    Add(csReadBlock)->Data = &read;
    out = Go();
    ASSERT_TRUE(out.Result.Succeeded()) << out.Log;
    EXPECT_EQ(DataOf(read), DataOf(written));
    EXPECT_EQ(Bytes(read.Header, read.Header + 6), (Bytes{3, 0, 46, 0, 0x01, 0x02}));
    EXPECT_EQ(sim.Stop(), 0);
}

TEST_F(SimProgram, TheLineMayBeClosedAndOpenedAgainManyTimes) {
    SimProcess sim({});
    const std::string device = sim.Device();
    ASSERT_FALSE(device.empty());
    Use(device);
    for (int run = 0; run < 25; ++run) {
        Bytes page(70);
        AddMemory(csReadData, 0x8000, page);
        const auto out = Go();
        ASSERT_TRUE(out.Result.Succeeded()) << "run " << run << "\n" << out.Log;
        EXPECT_EQ(page, Bytes(70, 0xFF));
    }
    // The PC side leaves the line in exclusive mode; once it has closed it,
    // the unit lifts that mode so that a user without special rights can
    // open the line again.
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ioctl(fd, TIOCEXCL), 0);
    ::close(fd);
    int exclusive = 1;
    for (int i = 0; i < 400 && exclusive; ++i) {
        std::this_thread::sleep_for(5ms);
        const int again = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(again, 0);
        ASSERT_EQ(ioctl(again, TIOCGEXCL, &exclusive), 0);
        ::close(again);
    }
    EXPECT_EQ(exclusive, 0);
}

TEST_F(SimProgram, FrameLeftUnfinishedByTheLastOpeningIsDropped) {
    SimProcess sim({});
    const std::string device = sim.Device();
    Use(device);
    // The start of a 74-byte write: the PC side closed the line after 7 bytes.
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    const uint8_t start[] = {0xEC, 0x88, 0x49, 0x32, 0x00, 0x10, 0x00};
    ASSERT_EQ(::write(fd, start, sizeof start), static_cast<ssize_t>(sizeof start));
    ::close(fd);
    // The next run is understood from its first request on.
    Bytes memory(4);
    AddMemory(csReadData, 0x1000, memory);
    const auto out = Go();
    EXPECT_TRUE(out.Result.Succeeded()) << out.Log;
    EXPECT_EQ(memory, Bytes(4, 0xFF));
    EXPECT_EQ(sim.Stop(), 0);
}

TEST_F(SimProgram, StateFileKeepsTheUnitAcrossARestart) {
    const std::string state = (folder / "unit.qxs").string();
    {
        SimProcess sim({"--state", state});
        const std::string first = sim.Line();
        EXPECT_NE(first.find(state), std::string::npos) << first;
        const std::string device = sim.Device();
        Use(device);
        TQXBlockMem written = Block(1, 0, "KEPT");
        Add(csWriteBlock)->Data = &written;
        Bytes app(64, 0);
        const std::string marker = "APP_V:GAME";
        std::copy(marker.begin(), marker.end(), app.begin());
        AddMemory(csWriteData, 0xE8000, app);
        ASSERT_TRUE(Go().Result.Succeeded());
        EXPECT_EQ(sim.Stop(SIGTERM), 0);
        EXPECT_NE(sim.Rest().find("kept in " + state), std::string::npos);
    }
    ASSERT_TRUE(std::filesystem::exists(state));
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);

    SimProcess sim({"--state", state});
    Use(sim.Device());
    TQXBlockMem read;
    read.MemType = 1;
    read.Index = 0;
    Add(csReadBlockDescr)->Data = &read;
    Add(csReadBlock)->Data = &read;
    Bytes app(64);
    AddMemory(csReadData, 0xE8000, app);
    const auto out = Go();
    ASSERT_TRUE(out.Result.Succeeded()) << out.Log;
    EXPECT_EQ(DataOf(read), DataOf(Block(1, 0, "KEPT")));
    EXPECT_EQ(std::string(app.begin(), app.begin() + 10), "APP_V:GAME");
    EXPECT_EQ(sim.Stop(SIGINT), 0);
}

TEST_F(SimProgram, DamagedStateFileStopsTheStartAndStaysAsItIs) {
    const std::string state = (folder / "unit.qxs").string();
    const std::string damaged = "QX318-SIM STATE\n\x01\0\0\0 and then nothing that fits"s;
    std::ofstream(state, std::ios::binary) << damaged;
    SimProcess sim({"--state", state});
    const std::string all = sim.Rest();
    EXPECT_NE(all.find("the state file " + state + " is damaged"), std::string::npos) << all;
    EXPECT_NE(all.find("left as it is"), std::string::npos) << all;
    EXPECT_EQ(all.find("QX318_COM1="), std::string::npos) << all;
    EXPECT_EQ(sim.Wait(), 1);
    std::ifstream in(state, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), damaged);
}

TEST_F(SimProgram, StateFileThatCannotBeWrittenStopsTheStart) {
    const std::string state = (folder / "no such folder" / "unit.qxs").string();
    SimProcess sim({"--state", state});
    const std::string all = sim.Rest();
    EXPECT_NE(all.find("cannot keep the unit in " + state), std::string::npos) << all;
    EXPECT_EQ(all.find("QX318_COM1="), std::string::npos) << all;
    EXPECT_EQ(sim.Wait(), 1);
}

TEST_F(SimProgram, TraceShowsEveryFrameWithDirectionAndFunction) {
    SimProcess sim({"--trace"});
    Use(sim.Device());
    Bytes memory(3);
    AddMemory(csReadData, 0x8000, memory);
    ASSERT_TRUE(Go().Result.Succeeded());
    const std::string time = R"(^\d\d:\d\d:\d\d\.\d\d\d )";
    std::vector<std::string> seen;
    // The search, its answer "V2.7" padded to 16 bytes, the read, its data.
    EXPECT_TRUE(sim.LineMatching(std::regex(time + "PC->QX Fnc C3 ModelVersion: EC 88 04 C3 A3$"), &seen));
    EXPECT_TRUE(sim.LineMatching(
        std::regex(time + "QX->PC Fnc 43 ModelVersion: 88 EC 14 43 56 32 2E 37( 00){12} [0-9A-F]{2}$"), &seen));
    EXPECT_TRUE(sim.LineMatching(std::regex(time + "PC->QX Fnc B2 ReadData: EC 88 08 B2 00 80 00 03 5D$"), &seen));
    EXPECT_TRUE(sim.LineMatching(std::regex(time + "QX->PC Fnc 32 Data: 88 EC 0A 32 00 80 00 FF FF FF [0-9A-F]{2}$"),
                                 &seen));
    if (HasFailure())
        for (const auto& line : seen) std::cerr << line << "\n";
    EXPECT_EQ(sim.Stop(), 0);
}

TEST_F(SimProgram, RefusingEveryNthRequestGivesTheUnitsReason) {
    // Request 1 is the unit search, request 2 the write: refused with 5.
    SimProcess sim({"--refuse-every", "2", "--reason", "5", "--trace"});
    Use(sim.Device());
    Bytes bytes(4, 0x42);
    AddMemory(csWriteData, 0x1000, bytes);
    const auto out = Go();
    EXPECT_EQ(out.Result, (_CommResult{2, 5, 133}));
    EXPECT_NE(out.Log.find("Write error. NAK packet received. (Data[0]: 05h)."), std::string::npos) << out.Log;
    EXPECT_TRUE(sim.LineMatching(std::regex("request 2: the unit refuses with reason 5")));
    EXPECT_TRUE(sim.LineMatching(std::regex("QX->PC Fnc F0 Refusal: 88 EC 05 F0 05 [0-9A-F]{2}$")));
    EXPECT_EQ(sim.Stop(), 0);
}

TEST_F(SimProgram, SilentOrLateReplyIsAskedForAgain) {
    // Request 2, the read, gets no reply in the link's 500 ms; the resend,
    // request 3, gets one (the late reply of request 2 may count for it).
    const struct {
        std::vector<std::string> args;
        std::string note;
    } cases[] = {
        {{"--silent-every", "2", "--trace"}, "request 2: the unit stays silent"},
        {{"--late-every", "2", "--late-ms", "1500", "--trace"}, "request 2: the unit answers 1500 ms late"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.note);
        SimProcess sim(c.args);
        Use(sim.Device());
        Bytes memory(4);
        AddMemory(csReadData, 0x8000, memory);
        const auto out = Go();
        EXPECT_TRUE(out.Result.Succeeded()) << out.Log;
        EXPECT_NE(out.Log.find("Service timeout."), std::string::npos) << out.Log;
        EXPECT_NE(out.Log.find("Tries remaining: 7."), std::string::npos) << out.Log;
        EXPECT_EQ(memory, Bytes(4, 0xFF));
        EXPECT_TRUE(sim.LineMatching(std::regex(c.note)));
        EXPECT_EQ(sim.Stop(), 0) << sim.Rest();
    }
}

TEST_F(SimProgram, CommandLineMistakesAndHelp) {
    {
        SimProcess sim({"--help"});
        const std::string all = sim.Rest();
        EXPECT_EQ(sim.Wait(), 0);
        for (const char* option : {"--state FILE", "--trace", "--silent-every N", "--refuse-every N", "--reason R",
                                   "--late-every N", "--late-ms M", "QX318_COM1="})
            EXPECT_NE(all.find(option), std::string::npos) << option;
    }
    SimProcess sim({"--late-every", "0"});
    const std::string all = sim.Rest();
    EXPECT_EQ(sim.Wait(), 2);
    EXPECT_NE(all.find("--late-every takes a number from 1 to 1000000"), std::string::npos) << all;
    EXPECT_NE(all.find("--help"), std::string::npos) << all;
}
