#include "SimState.h"

#include "Bytes.h"
#include "Fcs.h"

#include <cstring>

namespace {
constexpr char Magic[] = "QX318-SIM STATE\n";
constexpr size_t MagicSize = sizeof Magic - 1;
constexpr uint32_t Version = 1;

void Put8(std::string& out, uint8_t v) { out.push_back(static_cast<char>(v)); }
void Put32(std::string& out, uint32_t v) {
    uint8_t field[4];
    LePut32(field, v);
    out.append(reinterpret_cast<const char*>(field), 4);
}
void PutBytes(std::string& out, const std::vector<uint8_t>& bytes) {
    Put32(out, static_cast<uint32_t>(bytes.size()));
    out.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// Reads from the bytes in order; every read fails once one ran past the end.
class Reader {
public:
    explicit Reader(std::string_view bytes) : Bytes(bytes) {}
    bool Ok() const { return Good; }
    bool AtEnd() const { return At == Bytes.size(); }
    uint8_t Get8() { return Fits(1) ? static_cast<uint8_t>(Bytes[At++]) : 0; }
    uint32_t Get32() {
        if (!Fits(4)) return 0;
        const uint32_t v = LeGet32(reinterpret_cast<const uint8_t*>(Bytes.data() + At));
        At += 4;
        return v;
    }
    std::string_view Take(size_t n) {
        if (!Fits(n)) return {};
        const auto part = Bytes.substr(At, n);
        At += n;
        return part;
    }
    std::vector<uint8_t> TakeBytes() {
        const uint32_t n = Get32();
        const auto part = Take(n);
        return std::vector<uint8_t>(part.begin(), part.end());
    }

private:
    std::string_view Bytes;
    size_t At = 0;
    bool Good = true;
    bool Fits(size_t n) {
        if (Good && n <= Bytes.size() - At) return true;
        Good = false;
        return false;
    }
};

bool Fail(std::string* reason, const std::string& text) {
    if (reason) *reason = text;
    return false;
}
}  // namespace

std::string EncodeSimState(const SimUnitServices::Contents& contents) {
    std::string out(Magic, MagicSize);
    Put32(out, Version);
    PutBytes(out, contents.Memory);
    Put32(out, static_cast<uint32_t>(contents.Blocks.size()));
    for (const auto& [key, stream] : contents.Blocks) {
        Put8(out, key.first);
        Put8(out, key.second);
        PutBytes(out, stream);
    }
    uint32_t used = 0;
    for (const auto& p : contents.Programs) used += p ? 1 : 0;
    Put32(out, used);
    for (size_t slot = 0; slot < contents.Programs.size(); ++slot) {
        const auto& p = contents.Programs[slot];
        if (!p) continue;
        Put8(out, static_cast<uint8_t>(slot));
        Put8(out, p->Mask);
        Put8(out, static_cast<uint8_t>(p->Name.size()));
        out += p->Name;
        PutBytes(out, p->Image);
    }
    uint8_t crc[2];
    LePut16(crc, CalcFcs16(reinterpret_cast<const uint8_t*>(out.data()), out.size()));
    out.append(reinterpret_cast<const char*>(crc), 2);
    return out;
}

std::optional<SimUnitServices::Contents> DecodeSimState(std::string_view bytes, std::string* reason) {
    auto fail = [&](const std::string& text) -> std::optional<SimUnitServices::Contents> {
        Fail(reason, text);
        return std::nullopt;
    };
    if (bytes.size() < MagicSize || bytes.substr(0, MagicSize) != std::string_view(Magic, MagicSize))
        return fail("it is not a state file of the simulated unit");
    if (bytes.size() < MagicSize + 4 + 2) return fail("it is cut short");
    const auto body = bytes.substr(0, bytes.size() - 2);
    const uint16_t stored = LeGet16(reinterpret_cast<const uint8_t*>(bytes.data() + bytes.size() - 2));
    if (CalcFcs16(reinterpret_cast<const uint8_t*>(body.data()), body.size()) != stored)
        return fail("its check sum does not match its contents");

    Reader in(body.substr(MagicSize));
    if (const uint32_t version = in.Get32(); version != Version)
        return fail("it has the unknown format version " + std::to_string(version));
    SimUnitServices::Contents contents;
    contents.Memory = in.TakeBytes();
    const uint32_t blocks = in.Get32();
    for (uint32_t i = 0; i < blocks && in.Ok(); ++i) {
        const uint8_t memType = in.Get8(), index = in.Get8();
        auto stream = in.TakeBytes();
        if (!contents.Blocks.emplace(SimUnitServices::BlockKey{memType, index}, std::move(stream)).second && in.Ok())
            return fail("it holds a block twice");
    }
    const uint32_t programs = in.Get32();
    for (uint32_t i = 0; i < programs && in.Ok(); ++i) {
        const uint8_t slot = in.Get8(), mask = in.Get8();
        const std::string name(in.Take(in.Get8()));
        auto image = in.TakeBytes();
        if (!in.Ok()) break;
        if (slot >= contents.Programs.size()) return fail("it names the program slot " + std::to_string(slot));
        if (contents.Programs[slot]) return fail("it holds program slot " + std::to_string(slot) + " twice");
        contents.Programs[slot] = SimUnitServices::Program{name, std::move(image), mask};
    }
    if (!in.Ok()) return fail("it is cut short");
    if (!in.AtEnd()) return fail("it has bytes after its end");
    if (const std::string wrong = SimUnitServices::CheckContents(contents); !wrong.empty()) return fail(wrong);
    return contents;
}
