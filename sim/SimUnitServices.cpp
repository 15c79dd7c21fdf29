#include "SimUnitServices.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

#include "Bytes.h"
#include "Fcs.h"

namespace {
std::string NameOf(const uint8_t* bytes, size_t size) {
    const void* nul = std::memchr(bytes, 0, size);
    return std::string(reinterpret_cast<const char*>(bytes),
                       nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - bytes) : size);
}
}  // namespace

static_assert(SimUnitServices::BlockAreaStart < SimUnitServices::BlockAreaEnd &&
              SimUnitServices::BlockAreaEnd <= SimUnitServices::MemorySize);

SimUnitServices::SimUnitServices(SimUnit& unit) : Unit(unit), Memory(MemorySize, 0xFF) {
    Install(QXWire::Request::ReadData, &SimUnitServices::ReadData);
    Install(QXWire::Request::WriteData, &SimUnitServices::WriteData);
    Install(QXWire::Request::ReadInfo, &SimUnitServices::Describe);
    Install(QXWire::Request::BlockPacket, &SimUnitServices::BlockPacket);
    Install(QXWire::Request::ReadBlock, &SimUnitServices::ReadBlock);
    Install(QXWire::Request::CheckPacket, &SimUnitServices::Check);
    Install(QXWire::Request::Delete, &SimUnitServices::Delete);
    Install(QXWire::Request::ProgramPacket, &SimUnitServices::ProgramPacket);
    Install(QXWire::Request::ClearProgram, &SimUnitServices::ClearProgram);
    Install(QXWire::Request::ProgramStatus, &SimUnitServices::ProgramStatus);
}

SimUnitServices::~SimUnitServices() {
    for (uint8_t fnc : Installed) Unit.On(fnc, nullptr);
    std::lock_guard lock(Lock);
}

void SimUnitServices::Install(uint8_t fnc, Answer (SimUnitServices::*handler)(const SimUnit::Request&)) {
    Installed.push_back(fnc);
    Unit.On(fnc, [this, fnc, handler](SimUnit&, const SimUnit::Request& r) -> Answer {
        std::lock_guard lock(Lock);
        if (auto d = Drops.find(fnc); d != Drops.end() && d->second > 0) {
            --d->second;
            return std::nullopt;
        }
        if (auto f = Refusals.find(fnc); f != Refusals.end() && !f->second.empty()) {
            const uint8_t reason = f->second.front();
            f->second.erase(f->second.begin());
            return Nak(reason);
        }
        Answer answer = (this->*handler)(r);
        if (auto s = Shorts.find(answer ? answer->Fnc : 0); answer && s != Shorts.end()) {
            Shortening& cut = s->second;
            if (cut.After > 0) {
                --cut.After;
            } else if (cut.Count > 0) {
                --cut.Count;
                answer->Data.resize(answer->Data.size() - std::min(answer->Data.size(), cut.Missing));
            }
        }
        return answer;
    });
}

void SimUnitServices::SetMemory(uint32_t address, const std::vector<uint8_t>& bytes) {
    std::lock_guard lock(Lock);
    if (address + bytes.size() <= Memory.size()) std::copy(bytes.begin(), bytes.end(), Memory.begin() + address);
}

std::vector<uint8_t> SimUnitServices::GetMemory(uint32_t address, size_t count) const {
    std::lock_guard lock(Lock);
    if (address + count > Memory.size()) return {};
    return std::vector<uint8_t>(Memory.begin() + address, Memory.begin() + address + count);
}

void SimUnitServices::SetMemConfig(const MemConfig& config) {
    std::lock_guard lock(Lock);
    Config = config;
}

std::vector<uint8_t> SimUnitServices::MemConfigBytes() const {
    std::vector<uint8_t> b(24, 0);
    for (size_t i = 0; i < 8; ++i) b[i] = static_cast<uint8_t>(0xA0 + i);  // not read by the PC
    LePut32(b.data() + 8, Config.LangStart);
    LePut16(b.data() + 12, Config.LangAreaSize);
    LePut16(b.data() + 16, Config.LangSize);
    LePut32(b.data() + 18, Config.MenuConfig);
    return b;
}

void SimUnitServices::PutBlock(uint8_t memType, uint8_t index, const std::vector<uint8_t>& stream) {
    // Every stored block holds at least its 6-byte header; the describe and
    // delete answers rely on it.
    if (stream.size() < 6) throw std::invalid_argument("a block stream holds at least its 6-byte header");
    if (stream.size() > 0xFFFF) throw std::invalid_argument("a block stream holds at most 65535 bytes");
    std::lock_guard lock(Lock);
    auto blocks = Blocks;
    blocks[{memType, index}] = stream;
    if (BlockAreaUse(blocks) > BlockAreaEnd - BlockAreaStart) throw std::invalid_argument("the block area is full");
    Blocks = std::move(blocks);
    MirrorBlocks();
}

size_t SimUnitServices::BlockAreaUse(const std::map<BlockKey, std::vector<uint8_t>>& blocks) {
    size_t used = 0;
    for (const auto& [key, stream] : blocks) used += 8 + stream.size();
    return used;
}

void SimUnitServices::MirrorBlocks() {
    auto at = Memory.begin() + BlockAreaStart;
    for (const auto& [key, stream] : Blocks) {
        const auto descriptor = Descriptor(key.first, key.second, stream.size());
        at = std::copy(descriptor.begin(), descriptor.end(), at);
        at = std::copy(stream.begin(), stream.end(), at);
    }
    std::fill(at, Memory.begin() + BlockAreaEnd, uint8_t{0xFF});
}

SimUnitServices::Contents SimUnitServices::Snapshot() const {
    std::lock_guard lock(Lock);
    return Contents{Memory, Blocks, Programs};
}

std::string SimUnitServices::CheckContents(const Contents& contents) {
    if (contents.Memory.size() != MemorySize) return "the memory is not " + std::to_string(MemorySize) + " bytes";
    for (const auto& [key, stream] : contents.Blocks)
        if (stream.size() < 6 || stream.size() > 0xFFFF)
            return "block " + std::to_string(key.first) + "/" + std::to_string(key.second) + " has " +
                   std::to_string(stream.size()) + " bytes";
    if (BlockAreaUse(contents.Blocks) > BlockAreaEnd - BlockAreaStart) return "the blocks overflow the block area";
    unsigned used = 0;
    for (size_t slot = 0; slot < contents.Programs.size(); ++slot) {
        const auto& p = contents.Programs[slot];
        if (!p) continue;
        const std::string which = "program slot " + std::to_string(slot);
        if (p->Name.empty() || p->Name.size() > 16 || p->Name.find('\0') != std::string::npos)
            return which + " has no valid name";
        if (p->Image.size() > 0xFFFFFF) return which + " holds too large a program";
        const size_t segments = std::max<size_t>(1, (p->Image.size() + SegmentSize - 1) / SegmentSize);
        if (static_cast<size_t>(std::popcount(p->Mask)) != segments || (used & p->Mask))
            return which + " occupies segments that do not fit its program";
        used |= p->Mask;
    }
    return {};
}

bool SimUnitServices::Restore(const Contents& contents, std::string* reason) {
    const std::string wrong = CheckContents(contents);
    if (!wrong.empty()) {
        if (reason) *reason = wrong;
        return false;
    }
    std::lock_guard lock(Lock);
    Memory = contents.Memory;
    Blocks = contents.Blocks;
    Programs = contents.Programs;
    Writing.reset();
    Downloading.reset();
    Last = Transfer::None;
    HaveLastProgram = false;
    MirrorBlocks();
    return true;
}

std::optional<std::vector<uint8_t>> SimUnitServices::GetBlock(uint8_t memType, uint8_t index) const {
    std::lock_guard lock(Lock);
    auto b = Blocks.find({memType, index});
    if (b == Blocks.end()) return std::nullopt;
    return b->second;
}

size_t SimUnitServices::BlockCount() const {
    std::lock_guard lock(Lock);
    return Blocks.size();
}

std::array<uint8_t, 8> SimUnitServices::Descriptor(uint8_t memType, uint8_t index, size_t streamSize) {
    return {static_cast<uint8_t>(streamSize), static_cast<uint8_t>(streamSize >> 8), memType, index, 0x5A, 0xA5, 0, 0};
}

void SimUnitServices::AnswerEveryDescriptor(bool on) {
    std::lock_guard lock(Lock);
    EveryDescriptor = on;
}

void SimUnitServices::SetCheckEchoXor(uint16_t value) {
    std::lock_guard lock(Lock);
    EchoXor = value;
}

void SimUnitServices::WrongReadAddress(int count) {
    std::lock_guard lock(Lock);
    WrongAddresses = count;
}

void SimUnitServices::ShortReplies(uint8_t fnc, int count, size_t missing, int after) {
    std::lock_guard lock(Lock);
    Shorts[fnc] = Shortening{after, count, missing};
}

std::optional<SimUnitServices::Program> SimUnitServices::GetProgram(int slot) const {
    std::lock_guard lock(Lock);
    if (slot < 0 || slot >= SlotCount) return std::nullopt;
    return Programs[static_cast<size_t>(slot)];
}

void SimUnitServices::PutProgram(int slot, const std::string& name, const std::vector<uint8_t>& image) {
    std::lock_guard lock(Lock);
    if (slot < 0 || slot >= SlotCount) return;
    Programs[static_cast<size_t>(slot)] = Program{name, image, FreeMask(image.size())};
}

void SimUnitServices::SetStatusMarker(uint8_t marker) {
    std::lock_guard lock(Lock);
    StatusMarker = marker;
}

void SimUnitServices::Refuse(uint8_t fnc, uint8_t reason, int count) {
    std::lock_guard lock(Lock);
    for (int i = 0; i < count; ++i) Refusals[fnc].push_back(reason);
}

void SimUnitServices::Drop(uint8_t fnc, int count) {
    std::lock_guard lock(Lock);
    Drops[fnc] += count;
}

// ------------------------------------------------------------------ memory

SimUnitServices::Answer SimUnitServices::ReadData(const SimUnit::Request& r) {
    if (r.Data.size() != 4) return Nak(10);
    uint32_t address = LeGet24(r.Data.data());
    const size_t n = r.Data[3];
    if (address + n > AddressSpace) return Nak(1);
    // Addresses above the memory answer as an empty bus does: 0xFF.
    std::vector<uint8_t> reply(r.Data.begin(), r.Data.begin() + 3);
    reply.resize(3 + n, 0xFF);
    if (address < Memory.size())
        std::copy(Memory.begin() + address, Memory.begin() + std::min<size_t>(address + n, Memory.size()),
                  reply.begin() + 3);
    if (WrongAddresses > 0) {
        --WrongAddresses;
        address += 0x100;
        reply[0] = static_cast<uint8_t>(address);
        reply[1] = static_cast<uint8_t>(address >> 8);
        reply[2] = static_cast<uint8_t>(address >> 16);
    }
    return SimUnit::Answer{QXWire::Reply::Data, reply};
}

SimUnitServices::Answer SimUnitServices::WriteData(const SimUnit::Request& r) {
    if (r.Data.size() < 3) return Nak(10);
    const uint32_t address = LeGet24(r.Data.data());
    const size_t n = r.Data.size() - 3;
    if (address + n > Memory.size()) return Nak(1);
    // The block area is the block services' own.
    if (n > 0 && address < BlockAreaEnd && address + n > BlockAreaStart) return Nak(1);
    std::copy(r.Data.begin() + 3, r.Data.end(), Memory.begin() + address);
    return Ack();
}

// ------------------------------------------------------------------ blocks

SimUnitServices::Answer SimUnitServices::Describe(const SimUnit::Request& r) {
    if (r.Data.size() == 1 && r.Data[0] == QXWire::MemConfigSelector) {
        std::vector<uint8_t> reply{QXWire::MemConfigSelector};
        const auto config = MemConfigBytes();
        reply.insert(reply.end(), config.begin(), config.end());
        return SimUnit::Answer{QXWire::Reply::Info, reply};
    }
    if (r.Data.size() != 2) return Nak(10);
    const uint8_t memType = r.Data[0];
    uint8_t index = r.Data[1];
    std::vector<uint8_t> stream;
    if (auto b = Blocks.find({memType, index}); b != Blocks.end()) {
        stream = b->second;
    } else if (EveryDescriptor && memType == 0) {
        stream = {3, 0, 40, 0, 0, 0};
        stream.resize(40, 0);
    } else {
        return Nak(15);
    }
    std::vector<uint8_t> reply{memType, index};
    const auto descriptor = Descriptor(memType, index, stream.size());
    reply.insert(reply.end(), descriptor.begin(), descriptor.end());
    reply.insert(reply.end(), stream.begin(), stream.begin() + 6);
    std::vector<uint8_t> head(34, 0);
    std::copy_n(stream.begin() + 6, std::min<size_t>(34, stream.size() - 6), head.begin());
    reply.insert(reply.end(), head.begin(), head.end());
    return SimUnit::Answer{QXWire::Reply::Info, reply};
}

bool SimUnitServices::HoldsTextBlockLike(uint8_t memType, const std::vector<uint8_t>& stream) const {
    const uint8_t kind = stream[0];
    if (kind == 3 || kind == 4) return false;  // data blocks: one per data set
    if (kind != 1 && kind != 2) return true;   // a block of an unknown kind never takes a used index
    // Kind 1 is named by its type, kind 2 by its table and owner type.
    const size_t names = kind == 1 ? 17 : 34;
    if (stream.size() < 6 + names) return true;
    for (const auto& [key, held] : Blocks)
        if (key.first == memType && held.size() >= 6 + names && held[0] == kind &&
            std::equal(stream.begin() + 6, stream.begin() + 6 + names, held.begin() + 6))
            return true;
    return false;
}

bool SimUnitServices::NextFreeIndex(uint8_t memType, uint8_t& index) const {
    for (int i = 0; i < 256; ++i)
        if (!Blocks.count({memType, static_cast<uint8_t>(i)})) {
            index = static_cast<uint8_t>(i);
            return true;
        }
    return false;
}

SimUnitServices::Answer SimUnitServices::BlockPacket(const SimUnit::Request& r) {
    if (r.Data.size() < 4) return Nak(10);
    const uint8_t memType = r.Data[0];
    uint8_t index = r.Data[1];
    const uint16_t offset = LeGet16(r.Data.data() + 2);
    const std::vector<uint8_t> payload(r.Data.begin() + 4, r.Data.end());
    Last = Transfer::Block;
    if (offset == 0) {
        if (payload.size() < 6) return Nak(10);
        const uint8_t asked = index;
        if (Blocks.count({memType, index})) {
            // The unit keeps one text block per type and per table of a type:
            // another of the same names is refused. Any other new block goes
            // to the lowest free index of its memory type.
            if (HoldsTextBlockLike(memType, payload)) return Nak(4);
            if (!NextFreeIndex(memType, index)) return Nak(3);
        }
        BlockWrite w;
        w.MemType = memType;
        w.Index = index;
        w.AskedIndex = asked;
        w.Size = LeGet16(payload.data() + 2);
        w.Stream = payload;
        if (w.Size < 6 || w.Stream.size() > w.Size) return Nak(10);
        if (BlockAreaUse(Blocks) + 8 + w.Size > BlockAreaEnd - BlockAreaStart) return Nak(3);
        Writing = w;
        return SimUnit::Answer{QXWire::Reply::BlockPacketAck, {}};
    }
    // A packet sent again after a lost reply lands where it did before.
    if (!Writing || Writing->MemType != memType || Writing->AskedIndex != index || offset > Writing->Stream.size())
        return Nak(15);
    Writing->Stream.resize(offset);
    Writing->Stream.insert(Writing->Stream.end(), payload.begin(), payload.end());
    if (Writing->Stream.size() > Writing->Size) return Nak(10);
    return SimUnit::Answer{QXWire::Reply::BlockPacketAck, {}};
}

SimUnitServices::Answer SimUnitServices::ReadBlock(const SimUnit::Request& r) {
    if (r.Data.size() != 4) return Nak(10);
    const uint8_t memType = r.Data[0];
    uint8_t index = r.Data[1];
    const uint16_t offset = LeGet16(r.Data.data() + 2);
    auto b = Blocks.find({memType, index});
    if (b == Blocks.end()) return Nak(15);
    if (offset > b->second.size()) return Nak(1);
    std::vector<uint8_t> reply(r.Data.begin(), r.Data.end());
    const size_t n = std::min(ReadPacket, b->second.size() - offset);
    reply.insert(reply.end(), b->second.begin() + offset, b->second.begin() + offset + static_cast<std::ptrdiff_t>(n));
    return SimUnit::Answer{QXWire::Reply::BlockData, reply};
}

SimUnitServices::Answer SimUnitServices::Check(const SimUnit::Request& r) {
    if (r.Data.size() != 2) return Nak(10);
    const uint16_t sent = LeGet16(r.Data.data());
    if (Last == Transfer::Block) {
        if (!Writing) return Nak(5);
        if (Writing->Stream.size() != Writing->Size || Writing->Size < 6) return Nak(10);
        const uint16_t crc = CalcFcs16(Writing->Stream.data(), Writing->Stream.size());
        std::vector<uint8_t> reply(2);
        LePut16(reply.data(), static_cast<uint16_t>(crc ^ EchoXor));
        if (crc == sent) {
            Blocks[{Writing->MemType, Writing->Index}] = Writing->Stream;
            Writing.reset();
            MirrorBlocks();
        }
        return SimUnit::Answer{QXWire::Reply::CheckAck, reply};
    }
    if (Last == Transfer::Program) {
        if (!Downloading) {
            // The check sent again after a lost reply: the program is stored.
            if (HaveLastProgram && sent == LastProgramCrc) return Ack();
            return Nak(5);
        }
        ProgramWrite& w = *Downloading;
        if (w.Image.size() != w.Size || w.Packets != w.PacketCount) return Nak(6);
        const uint16_t crc = CalcFcs16(w.Image.data(), w.Image.size());
        if (crc != sent) return Nak(8);
        Programs[static_cast<size_t>(w.Slot)] = Program{w.Name, w.Image, FreeMask(w.Size)};
        LastProgramCrc = crc;
        HaveLastProgram = true;
        Downloading.reset();
        return Ack();
    }
    return Nak(2);
}

SimUnitServices::Answer SimUnitServices::Delete(const SimUnit::Request& r) {
    if (r.Data.size() == 18 && r.Data[0] == QXWire::DeleteTypeSelector) {
        const std::string name = NameOf(r.Data.data() + 1, 17);
        size_t deleted = 0;
        for (auto b = Blocks.begin(); b != Blocks.end();) {
            const auto& s = b->second;
            const std::string own = s.size() >= 6 + 17 ? NameOf(s.data() + 6, 17) : std::string();
            const std::string owner = s.size() >= 6 + 34 ? NameOf(s.data() + 6 + 17, 17) : std::string();
            if (own == name || owner == name) {
                b = Blocks.erase(b);
                ++deleted;
            } else {
                ++b;
            }
        }
        if (!deleted) return Nak(14);
        MirrorBlocks();
        return Ack();
    }
    if (r.Data.size() != 25) return Nak(10);
    auto b = Blocks.find({r.Data[0], r.Data[1]});
    if (b == Blocks.end()) return Nak(15);
    const auto& s = b->second;
    if (!std::equal(r.Data.begin() + 2, r.Data.begin() + 8, s.begin())) return Nak(14);
    std::vector<uint8_t> head(17, 0);
    std::copy_n(s.begin() + 6, std::min<size_t>(17, s.size() - 6), head.begin());
    if (!std::equal(r.Data.begin() + 8, r.Data.end(), head.begin())) return Nak(14);
    Blocks.erase(b);
    MirrorBlocks();
    return Ack();
}

// ---------------------------------------------------------------- programs

uint8_t SimUnitServices::FreeMask(size_t size) const {
    uint8_t used = 0;
    for (const auto& p : Programs)
        if (p) used |= p->Mask;
    size_t segments = std::max<size_t>(1, (size + SegmentSize - 1) / SegmentSize);
    uint8_t mask = 0;
    for (int k = 0; k < SlotCount && segments > 0; ++k)
        if (!(used & (1u << k))) {
            mask = static_cast<uint8_t>(mask | (1u << k));
            --segments;
        }
    return segments == 0 ? mask : 0;
}

SimUnitServices::Answer SimUnitServices::ProgramPacket(const SimUnit::Request& r) {
    Last = Transfer::Program;
    const bool description = r.Data.size() == 22 && r.Data[0] == 0xFF && (!Downloading || Downloading->Packets == 0);
    if (description) {
        ProgramWrite w;
        w.Name = NameOf(r.Data.data() + 1, 16);
        if (w.Name.empty()) return Nak(12);
        w.Size = LeGet24(r.Data.data() + 17);
        w.PacketCount = LeGet16(r.Data.data() + 20);
        if (w.PacketCount != (w.Size + 127) / 128) return Nak(6);
        w.Slot = -1;
        for (int s = 0; s < SlotCount && w.Slot < 0; ++s)
            if (!Programs[static_cast<size_t>(s)]) w.Slot = s;
        if (w.Slot < 0 || FreeMask(w.Size) == 0) return Nak(3);
        Downloading = w;
        return Ack();
    }
    if (!Downloading) return Nak(5);
    ProgramWrite& w = *Downloading;
    if (w.Packets >= w.PacketCount || w.Image.size() + r.Data.size() > w.Size) return Nak(10);
    w.Image.insert(w.Image.end(), r.Data.begin(), r.Data.end());
    ++w.Packets;
    return Ack();
}

SimUnitServices::Answer SimUnitServices::ClearProgram(const SimUnit::Request& r) {
    if (r.Data.size() != 17) return Nak(10);
    const size_t slot = r.Data[0];
    if (slot >= SlotCount) return Nak(11);
    if (!Programs[slot] || Programs[slot]->Name != NameOf(r.Data.data() + 1, 16)) return Nak(12);
    Programs[slot].reset();
    return Ack();
}

SimUnitServices::Answer SimUnitServices::ProgramStatus(const SimUnit::Request& r) {
    if (r.Data.size() != 2 || r.Data[0] != QXWire::ProgramStatusMarker) return Nak(5);
    const size_t slot = r.Data[1];
    if (slot >= SlotCount) return Nak(11);
    std::vector<uint8_t> reply{StatusMarker};
    std::vector<uint8_t> status(23, 0);
    if (const auto& p = Programs[slot]) {
        status[0] = 1;
        std::copy_n(p->Name.begin(), std::min<size_t>(16, p->Name.size()), status.begin() + 1);
        status[17] = static_cast<uint8_t>(p->Image.size());
        status[18] = static_cast<uint8_t>(p->Image.size() >> 8);
        status[19] = static_cast<uint8_t>(p->Image.size() >> 16);
        status[20] = p->Mask;
    }
    reply.insert(reply.end(), status.begin(), status.end());
    return SimUnit::Answer{QXWire::Reply::ProgramStatus, reply};
}
