// The unit's side of every communication service, on top of a SimUnit:
// memory by address, the memory configuration (with the menu-language area
// and the menu configuration inside that memory), memory blocks with their
// descriptors and CRC check, program slots with their S-record
// descriptions, and the model version (answered by SimUnit itself).
//
// The unit's memory is 1 MB; the application slots lie at its top. The
// blocks live in their own area of that memory, one after the other in the
// order of the block list, each as its 8 descriptor bytes followed by its
// byte stream, the rest of the area erased (0xFF). Reading memory there
// shows the blocks as the block services report them; writing there by
// address is refused, so that the block list and the memory always agree.
// A new block goes to the index its write names when that is free, else to
// the lowest free index of its memory type; a text block whose type (or
// table and owner type) the unit holds already is refused with reason 4.
//
// Faults: Refuse(fnc, reason) refuses the next requests of a function code
// with a negative acknowledgement; Drop(fnc) loses the next requests before
// the unit sees them (no reply, nothing done). SimUnit::Script still scripts
// faults of the replies themselves.
//
// All state is kept under one lock: the handlers run on the unit's thread,
// the accessors on the test's.
#pragma once

#include "SimUnit.h"

#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class SimUnitServices {
public:
    static constexpr uint32_t MemorySize = 0x100000;  // 1 MB, the application slots at its top
    static constexpr uint32_t AddressSpace = 0x1000000;  // what the data services can address
    static constexpr uint32_t BlockAreaStart = 0x20000;
    static constexpr uint32_t BlockAreaEnd = 0xE0000;
    static constexpr int SlotCount = 8;
    static constexpr uint32_t SegmentSize = 32767;

    struct MemConfig {
        uint32_t LangStart = 0x8000;
        uint16_t LangAreaSize = 0x0800;
        uint16_t LangSize = 0x01E0;
        uint32_t MenuConfig = 0xC000;
    };
    struct Program {
        std::string Name;
        std::vector<uint8_t> Image;
        uint8_t Mask = 0;  // the segments it occupies
    };
    using BlockKey = std::pair<uint8_t, uint8_t>;  // memory type, index
    // What the unit keeps, as a whole: its memory (the block area included),
    // its blocks and its programs.
    struct Contents {
        std::vector<uint8_t> Memory;
        std::map<BlockKey, std::vector<uint8_t>> Blocks;
        std::array<std::optional<Program>, SlotCount> Programs;
    };

    explicit SimUnitServices(SimUnit& unit);
    // Removes its handlers from the unit; a handler still running ends first.
    ~SimUnitServices();
    SimUnitServices(const SimUnitServices&) = delete;
    SimUnitServices& operator=(const SimUnitServices&) = delete;

    void SetMemory(uint32_t address, const std::vector<uint8_t>& bytes);
    std::vector<uint8_t> GetMemory(uint32_t address, size_t count) const;
    void SetMemConfig(const MemConfig& config);
    // The 24 bytes the unit reports for its memory configuration.
    std::vector<uint8_t> MemConfigBytes() const;

    Contents Snapshot() const;
    // Takes over the contents after checking they could have come from a
    // unit: false with the reason, and nothing changed, when not.
    bool Restore(const Contents& contents, std::string* reason = nullptr);
    // Why the contents could not be a unit's; empty when they could.
    static std::string CheckContents(const Contents& contents);

    // A block as the unit holds it: its byte stream (6-byte header, data).
    // Throws when it does not fit the block area.
    void PutBlock(uint8_t memType, uint8_t index, const std::vector<uint8_t>& stream);
    std::optional<std::vector<uint8_t>> GetBlock(uint8_t memType, uint8_t index) const;
    size_t BlockCount() const;
    // The 8 descriptor bytes the unit reports: stream size (16 bits), memory
    // type, index, then 0x5A 0xA5 0x00 0x00.
    static std::array<uint8_t, 8> Descriptor(uint8_t memType, uint8_t index, size_t streamSize);
    // Every descriptor read of memory type 0 is answered (an endless unit).
    void AnswerEveryDescriptor(bool on);
    // The CRC echoed after a block write is the computed one XOR this.
    void SetCheckEchoXor(uint16_t value);
    // Replies to data reads carry this address instead (once each).
    void WrongReadAddress(int count);
    // Good replies with this function code that carry this many data bytes
    // fewer: count of them, after the first `after` such replies.
    void ShortReplies(uint8_t fnc, int count, size_t missing, int after = 0);

    std::optional<Program> GetProgram(int slot) const;
    void PutProgram(int slot, const std::string& name, const std::vector<uint8_t>& image);
    // The first status byte answered for a slot (0x99 normally).
    void SetStatusMarker(uint8_t marker);

    void Refuse(uint8_t fnc, uint8_t reason, int count = 1);
    void Drop(uint8_t fnc, int count = 1);

private:
    SimUnit& Unit;
    std::vector<uint8_t> Installed;
    mutable std::mutex Lock;
    std::vector<uint8_t> Memory;
    MemConfig Config;
    std::map<BlockKey, std::vector<uint8_t>> Blocks;
    bool EveryDescriptor = false;
    static constexpr size_t ReadPacket = 128;  // stream bytes per read-block reply
    uint16_t EchoXor = 0;
    int WrongAddresses = 0;
    struct Shortening {
        int After = 0;
        int Count = 0;
        size_t Missing = 0;
    };
    std::map<uint8_t, Shortening> Shorts;
    std::map<uint8_t, std::vector<uint8_t>> Refusals;
    std::map<uint8_t, int> Drops;
    uint8_t StatusMarker = QXWire::ProgramStatusMarker;

    // The block being written: key, expected stream size, bytes so far.
    struct BlockWrite {
        uint8_t AskedIndex = 0;  // the index the packets name; Index is where the block goes
        uint8_t MemType = 0, Index = 0;
        size_t Size = 0;
        std::vector<uint8_t> Stream;
    };
    std::optional<BlockWrite> Writing;
    // The program being downloaded.
    struct ProgramWrite {
        int Slot = 0;
        std::string Name;
        size_t Size = 0;
        size_t PacketCount = 0;
        size_t Packets = 0;
        std::vector<uint8_t> Image;
    };
    std::optional<ProgramWrite> Downloading;
    enum class Transfer { None, Block, Program } Last = Transfer::None;
    std::array<std::optional<Program>, SlotCount> Programs;
    uint16_t LastProgramCrc = 0;
    bool HaveLastProgram = false;

    using Answer = std::optional<SimUnit::Answer>;
    void Install(uint8_t fnc, Answer (SimUnitServices::*handler)(const SimUnit::Request&));
    static Answer Nak(uint8_t reason) { return SimUnit::Answer{QXWire::Reply::Refusal, {reason}}; }
    static Answer Ack() { return SimUnit::Answer{QXWire::Reply::Acknowledge, {}}; }

    Answer ReadData(const SimUnit::Request& r);
    Answer WriteData(const SimUnit::Request& r);
    Answer Describe(const SimUnit::Request& r);
    Answer BlockPacket(const SimUnit::Request& r);
    // Whether a new block's stream (header first) may not take a used index:
    // a text block of the same names is held already, or its kind is unknown.
    bool HoldsTextBlockLike(uint8_t memType, const std::vector<uint8_t>& stream) const;
    // The lowest index of the memory type that holds no block.
    bool NextFreeIndex(uint8_t memType, uint8_t& index) const;
    Answer ReadBlock(const SimUnit::Request& r);
    Answer Check(const SimUnit::Request& r);
    Answer Delete(const SimUnit::Request& r);
    Answer ProgramPacket(const SimUnit::Request& r);
    Answer ClearProgram(const SimUnit::Request& r);
    Answer ProgramStatus(const SimUnit::Request& r);
    uint8_t FreeMask(size_t size) const;
    // Lays the blocks out in the block area of the memory again.
    void MirrorBlocks();
    static size_t BlockAreaUse(const std::map<BlockKey, std::vector<uint8_t>>& blocks);
};
