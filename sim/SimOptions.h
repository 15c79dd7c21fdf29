// The command line of qx318-sim, and the lines it prints while it runs.
#pragma once

#include "SimUnit.h"
#include "SimUnitServices.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct SimOptions {
    bool Help = false;
    std::string StatePath;  // empty: the unit starts erased and is not kept
    bool Trace = false;
    int ComPort = 1;        // the QX318_COM<n> line printed at start
    // Every Nth request (counted over all requests from 1; 0: never). When
    // several fall on one request, silence wins over refusal over lateness.
    int SilentEvery = 0;
    int RefuseEvery = 0;
    uint8_t Reason = 1;
    int LateEvery = 0;
    int LateMs = 1000;
};

// The options of the arguments (without the program name); nullopt with
// the reason when they are wrong.
std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args, std::string* error);
std::string SimUsage();

// The memory configuration of the program's unit: language slots of the
// size the default menu beside the program needs (its 28 items of 18 bytes
// and its 134 bytes of InfNot texts), twelve of them from 0x8000, and the
// menu configuration at 0xC000.
SimUnitServices::MemConfig SimProgramMemConfig();

// The fault the options give the request with this number (from 1).
std::optional<SimUnit::Fault> SimFaultFor(const SimOptions& options, uint64_t request);

// The name of a function code as the side that sends it uses it.
std::string SimFunctionName(bool fromPc, uint8_t fnc);

// One trace line: local time with milliseconds, direction (PC->QX or
// QX->PC), function code and name, then every byte of the frame in hex.
std::string SimTraceLine(std::chrono::system_clock::time_point at, bool fromPc, const std::vector<uint8_t>& frame);
// A line of the trace that is no frame (a fault the unit commits).
std::string SimTraceNote(std::chrono::system_clock::time_point at, const std::string& text);
