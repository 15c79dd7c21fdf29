// Unit memory blocks as the program holds them: where a block lies in the
// unit, its descriptor, its 6-byte header and its data; lists of blocks and
// the lighter records that the block tree keeps per block found.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Containers.h"

// Block kinds (header byte 0).
enum : uint8_t {
    BlockParametersText = 1,
    BlockTableText = 2,
    BlockParametersData = 3,
    BlockTableData = 4,
};

constexpr size_t BlockHeaderSize = 6;
constexpr size_t BlockHeadCopySize = 34;
// The header holds data length + 6 in 16 bits.
constexpr uint32_t MaxBlockDataLength = 0xFFFF - BlockHeaderSize;

// The header's uint16 (little-endian) at offset 2 minus 6, in 16 bits.
uint16_t GetBlockDataLength(const uint8_t* header);
// The header's uint16 at offset 2 := n + 6, in 16 bits.
void SetBlockDataLength(uint8_t* header, uint16_t n);

class TQXBlockMem {
public:
    uint8_t MemType = 0;
    uint8_t Index = 0;
    uint8_t Descriptor[8] = {};
    uint8_t Header[BlockHeaderSize] = {};

    TQXBlockMem() = default;
    TQXBlockMem(const TQXBlockMem& source) { Assign(source); }
    TQXBlockMem& operator=(const TQXBlockMem& source) {
        if (this != &source) Assign(source);
        return *this;
    }
    // A move leaves the source an empty block (no data, length 0).
    TQXBlockMem(TQXBlockMem&& source) noexcept { Take(source); }
    TQXBlockMem& operator=(TQXBlockMem&& source) noexcept {
        if (this != &source) Take(source);
        return *this;
    }
    ~TQXBlockMem() = default;

    // Everything zero, no data, no head copy.
    void Clear();
    // A copy of the source: its bytes, the data it holds and its head copy.
    void Assign(const TQXBlockMem& source);

    // The data, or null when the block has none. A block holds exactly
    // GetDataLength() bytes, whatever its header says.
    uint8_t* Data() { return DataBytes.get(); }
    const uint8_t* Data() const { return DataBytes.get(); }
    uint32_t GetDataLength() const { return DataLength; }

    // New zero-filled data of n bytes (the old data freed); the header's
    // length becomes n + 6. More than MaxBlockDataLength is refused: null
    // and nothing changed.
    uint8_t* AllocData(uint32_t n);
    // AllocData(n), then a copy of the bytes; false when refused.
    bool SetData(const uint8_t* bytes, uint32_t n);
    void FreeData();

    // The first 34 data bytes (name in 0..16, owner type's name in 17..33)
    // as copied by MakeHeadCopy or reported by the unit; null when none.
    const uint8_t* HeadCopy() const { return HeadBytes ? HeadBytes->data() : nullptr; }
    // A copy of the first 34 data bytes when the block holds at least 34,
    // otherwise no head copy.
    void MakeHeadCopy();
    // The head copy as the unit reports it in a block descriptor.
    void SetHeadCopy(const uint8_t* bytes34);

    // The byte stream the unit sees: the header, then the data held.
    size_t GetStreamSize() const { return BlockHeaderSize + DataLength; }
    // Copies up to count stream bytes from offset; gives the number copied
    // (0 at or past the end).
    size_t CopyStream(size_t offset, uint8_t* destination, size_t count) const;
    // CRC-16 over the whole stream.
    uint16_t CalcStreamFcs16() const;

private:
    void Take(TQXBlockMem& source) noexcept;

    std::unique_ptr<uint8_t[]> DataBytes;
    uint32_t DataLength = 0;
    std::optional<std::array<uint8_t, BlockHeadCopySize>> HeadBytes;
};

// Owns its blocks; no prototype.
using TQXBlockMemList = TVector<TQXBlockMem>;

struct _QXBlockInfo {
    uint32_t Kind = 0;
    std::string Name;
    std::string OwnerName;      // empty for a Parameters Text block
    TQXBlockMem* Block = nullptr;  // not owned
};

// Owns its records and their texts, not the blocks they point to.
using TQXBlockInfoList = TVector<_QXBlockInfo>;

// Copies of the blocks of the records, in order; records without a block are
// skipped. The caller owns the new list.
std::unique_ptr<TQXBlockMemList> CreateBlockMemList(const TQXBlockInfoList& infos);
