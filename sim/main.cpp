// qx318-sim: one simulated QX318 unit on a pseudo-terminal, for trying the
// configuration program without a unit. See SimUsage() for the options.
#include "SafeFile.h"
#include "SimOptions.h"
#include "SimState.h"
#include "SimUnit.h"
#include "SimUnitServices.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <pthread.h>
#include <sys/stat.h>

namespace {
std::mutex OutputLock;

void Print(std::FILE* to, const std::string& line) {
    std::lock_guard lock(OutputLock);
    std::fputs(line.c_str(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

void Complain(const std::string& text) { Print(stderr, "qx318-sim: " + text); }

// The unit's contents from the state file; a file that does not exist yet
// gives an erased unit. False when the file is there but cannot be used.
bool LoadState(const std::string& path, std::optional<SimUnitServices::Contents>& contents) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) return true;
        Complain("cannot read the state file " + path + ": " + std::strerror(errno));
        return false;
    }
    const auto bytes = ReadWholeFile(path, 64u << 20);
    if (!bytes) {
        Complain("cannot read the state file " + path + " (or it is far too large for one)");
        return false;
    }
    std::string reason;
    contents = DecodeSimState(*bytes, &reason);
    if (!contents) {
        Complain("the state file " + path + " is damaged: " + reason +
                 ".\nIt is left as it is; move it away or name another file with --state.");
        return false;
    }
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options = ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), &error);
    if (!options) {
        Complain(error + "\nTry 'qx318-sim --help'.");
        return 2;
    }
    if (options->Help) {
        std::fputs(SimUsage().c_str(), stdout);
        return 0;
    }

    std::optional<SimUnitServices::Contents> contents;
    if (!options->StatePath.empty() && !LoadState(options->StatePath, contents)) return 1;

    // The signals that end the simulator are taken by this thread alone,
    // blocked before the unit's thread starts so that it inherits the mask.
    sigset_t ending;
    sigemptyset(&ending);
    for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&ending, s);
    pthread_sigmask(SIG_BLOCK, &ending, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    // Counted on the unit's thread: it must outlive the unit.
    std::atomic<uint64_t> requests{0};
    SimUnit unit;
    unit.SetModel("V2.7");
    SimUnitServices services(unit);
    services.SetMemConfig(SimProgramMemConfig());
    if (contents && !services.Restore(*contents, &error)) {
        Complain("the state file " + options->StatePath + " cannot be used: " + error);
        return 1;
    }
    // A new state file is written at once, so that a place where it cannot
    // be kept shows now and not when the unit's contents would be lost.
    if (!options->StatePath.empty() && !contents &&
        !ReplaceFileContents(options->StatePath, EncodeSimState(services.Snapshot()), &error)) {
        Complain("cannot keep the unit in " + options->StatePath + ": " + error);
        return 1;
    }

    const bool trace = options->Trace;
    unit.SetFaultPolicy([&requests, options = *options, trace](const SimUnit::Request&) {
        const uint64_t number = ++requests;
        auto fault = SimFaultFor(options, number);
        if (fault && trace) {
            const std::string what = fault->Silent   ? "stays silent"
                                     : fault->Refuse ? "refuses with reason " + std::to_string(*fault->Refuse)
                                                     : "answers " + std::to_string(fault->DelayMs) + " ms late";
            Print(stdout, SimTraceNote(std::chrono::system_clock::now(),
                                       "request " + std::to_string(number) + ": the unit " + what));
        }
        return fault;
    });
    if (trace)
        unit.SetTracer([](bool fromPc, const std::vector<uint8_t>& frame) {
            Print(stdout, SimTraceLine(std::chrono::system_clock::now(), fromPc, frame));
        });

    Print(stdout, "qx318-sim: a QX318 unit \"V2.7\" answers on " + unit.Path() +
                      (options->StatePath.empty() ? "" : ", kept in " + options->StatePath));
    Print(stdout, "QX318_COM" + std::to_string(options->ComPort) + "=" + unit.Path());
    if (!unit.WatchesLine())
        Complain("cannot watch the line for the program closing it (no inotify instance left); a program "
                 "without special rights may find the line busy after its first run");

    int signal = 0;
    while (sigwait(&ending, &signal) != 0) {
    }

    int result = 0;
    if (!options->StatePath.empty()) {
        if (ReplaceFileContents(options->StatePath, EncodeSimState(services.Snapshot()), &error)) {
            Print(stdout, "qx318-sim: the unit is kept in " + options->StatePath);
        } else {
            Complain("cannot keep the unit in " + options->StatePath + ": " + error);
            result = 1;
        }
    }
    return result;
}
