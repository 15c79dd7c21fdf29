#include "SimOptions.h"

#include "FunctionCodes.h"
#include "IntText.h"

#include <cstdio>
#include <ctime>

namespace {
bool Number(const std::string& text, int64_t low, int64_t high, int64_t& value) {
    const auto v = ReadIntText(text);
    if (!v || *v < low || *v > high) return false;
    value = *v;
    return true;
}
}  // namespace

std::string SimUsage() {
    return "Usage: qx318-sim [options]\n"
           "\n"
           "Puts one simulated QX318 unit (model \"V2.7\") on a new pseudo-terminal and\n"
           "prints its device and the line that maps the configuration program's COM\n"
           "port onto it, e.g. QX318_COM1=/dev/pts/4. The unit answers every\n"
           "communication service: memory by address (1 MB, the application slots at\n"
           "its top), the memory configuration with the menu-language area and the\n"
           "menu configuration, memory blocks with their descriptors and CRC check,\n"
           "and the eight program slots. The line may be opened and closed as often\n"
           "as the program likes. SIGTERM, SIGINT or SIGHUP end the simulator.\n"
           "\n"
           "Options:\n"
           "  --state FILE         keep the unit's memory, blocks and programs in FILE:\n"
           "                       loaded at start (created when missing), saved at the\n"
           "                       end (replaced safely).\n"
           "                       A damaged FILE stops the start and is left as it is.\n"
           "  --trace              print every frame: time, direction (PC->QX or\n"
           "                       QX->PC), function code and the bytes in hex\n"
           "  --com N              print the line for QX318_COM<N> (1 to 255, default 1)\n"
           "  --silent-every N     give no reply to every Nth request (the unit carries it\n"
           "                       out; only its reply is lost)\n"
           "  --refuse-every N     refuse every Nth request without carrying it out\n"
           "  --reason R           the reason byte of those refusals (0 to 255, default 1)\n"
           "  --late-every N       reply to every Nth request late\n"
           "  --late-ms M          by M milliseconds (0 to 60000, default 1000;\n"
           "                       the program waits 500 ms for a reply)\n"
           "  --help               show this text\n"
           "\n"
           "Requests are counted from 1 over all function codes. When several faults\n"
           "fall on one request, silence wins over refusal over lateness. Numbers may\n"
           "be decimal or hexadecimal (0x0F, $0F).\n";
}

std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args, std::string* error) {
    SimOptions options;
    bool reasonGiven = false, lateMsGiven = false;
    auto fail = [&](const std::string& text) -> std::optional<SimOptions> {
        if (error) *error = text;
        return std::nullopt;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        auto number = [&](int64_t low, int64_t high, int64_t& out) -> std::optional<std::string> {
            std::string text;
            if (!value(text)) return arg + " needs a value";
            if (!Number(text, low, high, out))
                return arg + " takes a number from " + std::to_string(low) + " to " + std::to_string(high) +
                       ", not \"" + text + "\"";
            return std::nullopt;
        };
        int64_t n = 0;
        std::optional<std::string> wrong;
        if (arg == "--help" || arg == "-h") {
            options.Help = true;
        } else if (arg == "--trace") {
            options.Trace = true;
        } else if (arg == "--state") {
            if (!value(options.StatePath) || options.StatePath.empty()) return fail("--state needs a file name");
        } else if (arg == "--com") {
            if (!(wrong = number(1, 255, n))) options.ComPort = static_cast<int>(n);
        } else if (arg == "--silent-every") {
            if (!(wrong = number(1, 1000000, n))) options.SilentEvery = static_cast<int>(n);
        } else if (arg == "--refuse-every") {
            if (!(wrong = number(1, 1000000, n))) options.RefuseEvery = static_cast<int>(n);
        } else if (arg == "--reason") {
            if (!(wrong = number(0, 255, n))) options.Reason = static_cast<uint8_t>(n);
            reasonGiven = true;
        } else if (arg == "--late-every") {
            if (!(wrong = number(1, 1000000, n))) options.LateEvery = static_cast<int>(n);
        } else if (arg == "--late-ms") {
            if (!(wrong = number(0, 60000, n))) options.LateMs = static_cast<int>(n);
            lateMsGiven = true;
        } else {
            return fail("unknown option \"" + arg + "\"");
        }
        if (wrong) return fail(*wrong);
    }
    if (reasonGiven && options.RefuseEvery == 0) return fail("--reason belongs to --refuse-every");
    if (lateMsGiven && options.LateEvery == 0) return fail("--late-ms belongs to --late-every");
    return options;
}

SimUnitServices::MemConfig SimProgramMemConfig() {
    SimUnitServices::MemConfig config;
    config.LangStart = 0x8000;
    config.LangSize = 28 * 18 + 134;
    config.LangAreaSize = 0x2000;
    config.MenuConfig = 0xC000;
    return config;
}

std::optional<SimUnit::Fault> SimFaultFor(const SimOptions& options, uint64_t request) {
    auto every = [request](int n) { return n > 0 && request % static_cast<uint64_t>(n) == 0; };
    SimUnit::Fault fault;
    if (every(options.SilentEvery))
        fault.Silent = true;
    else if (every(options.RefuseEvery))
        fault.Refuse = options.Reason;
    else if (every(options.LateEvery))
        fault.DelayMs = options.LateMs;
    else
        return std::nullopt;
    return fault;
}

std::string SimFunctionName(bool fromPc, uint8_t fnc) {
    if (fromPc) {
        using namespace QXWire::Request;
        switch (fnc) {
        case ReadData: return "ReadData";
        case WriteData: return "WriteData";
        case ReadInfo: return "ReadInfo";
        case ProgramPacket: return "ProgramPacket";
        case CheckPacket: return "CheckPacket";
        case ClearProgram: return "ClearProgram";
        case ProgramStatus: return "ProgramStatus";
        case Delete: return "Delete";
        case ReadBlock: return "ReadBlock";
        case BlockPacket: return "BlockPacket";
        case ModelVersion: return "ModelVersion";
        default: return "unknown";
        }
    }
    using namespace QXWire::Reply;
    switch (fnc) {
    case Data: return "Data";
    case Acknowledge: return "Acknowledge";
    case Refusal: return "Refusal";
    case Info: return "Info";
    case ProgramStatus: return "ProgramStatus";
    case BlockData: return "BlockData";
    case BlockPacketAck: return "BlockPacketAck";
    case CheckAck: return "CheckAck";
    case ModelVersion: return "ModelVersion";
    default: return "unknown";
    }
}

namespace {
std::string Stamp(std::chrono::system_clock::time_point at) {
    const auto seconds = std::chrono::system_clock::to_time_t(at);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(ms));
    return text;
}
}  // namespace

std::string SimTraceLine(std::chrono::system_clock::time_point at, bool fromPc, const std::vector<uint8_t>& frame) {
    std::string line = Stamp(at) + (fromPc ? " PC->QX " : " QX->PC ");
    char hex[4];
    if (frame.size() >= 4) {
        std::snprintf(hex, sizeof hex, "%02X", frame[3]);
        line += std::string("Fnc ") + hex + " " + SimFunctionName(fromPc, frame[3]) + ":";
    } else {
        line += "no frame:";
    }
    for (uint8_t b : frame) {
        std::snprintf(hex, sizeof hex, " %02X", b);
        line += hex;
    }
    return line;
}

std::string SimTraceNote(std::chrono::system_clock::time_point at, const std::string& text) {
    return Stamp(at) + " QX     " + text;
}
