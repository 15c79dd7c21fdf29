#include "QXBlock.h"

#include <algorithm>
#include <cstring>

#include "Bytes.h"
#include "Fcs.h"

uint16_t GetBlockDataLength(const uint8_t* header) {
    const uint16_t stored = LeGet16(header + 2);
    return static_cast<uint16_t>(stored - BlockHeaderSize);
}

void SetBlockDataLength(uint8_t* header, uint16_t n) {
    LePut16(header + 2, static_cast<uint16_t>(n + BlockHeaderSize));
}

void TQXBlockMem::Clear() {
    MemType = 0;
    Index = 0;
    std::memset(Descriptor, 0, sizeof Descriptor);
    std::memset(Header, 0, sizeof Header);
    FreeData();
    HeadBytes.reset();
}

void TQXBlockMem::Assign(const TQXBlockMem& source) {
    if (this == &source) return;
    Clear();
    MemType = source.MemType;
    Index = source.Index;
    std::memcpy(Descriptor, source.Descriptor, sizeof Descriptor);
    std::memcpy(Header, source.Header, sizeof Header);
    if (source.DataBytes) {
        DataBytes = std::make_unique<uint8_t[]>(source.DataLength);
        DataLength = source.DataLength;
        if (DataLength > 0) std::memcpy(DataBytes.get(), source.DataBytes.get(), DataLength);
    }
    HeadBytes = source.HeadBytes;
}

void TQXBlockMem::Take(TQXBlockMem& source) noexcept {
    MemType = source.MemType;
    Index = source.Index;
    std::memcpy(Descriptor, source.Descriptor, sizeof Descriptor);
    std::memcpy(Header, source.Header, sizeof Header);
    DataBytes = std::move(source.DataBytes);
    DataLength = source.DataLength;
    HeadBytes = source.HeadBytes;
    source.Clear();
}

uint8_t* TQXBlockMem::AllocData(uint32_t n) {
    if (n > MaxBlockDataLength) return nullptr;
    DataBytes = std::make_unique<uint8_t[]>(n);  // value-initialised: zero
    DataLength = n;
    SetBlockDataLength(Header, static_cast<uint16_t>(n));
    return DataBytes.get();
}

bool TQXBlockMem::SetData(const uint8_t* bytes, uint32_t n) {
    uint8_t* data = AllocData(n);
    if (!data) return false;
    if (n > 0) std::memcpy(data, bytes, n);
    return true;
}

void TQXBlockMem::FreeData() {
    DataBytes.reset();
    DataLength = 0;
}

void TQXBlockMem::MakeHeadCopy() {
    HeadBytes.reset();
    if (DataBytes && DataLength >= BlockHeadCopySize) {
        HeadBytes.emplace();
        std::memcpy(HeadBytes->data(), DataBytes.get(), BlockHeadCopySize);
    }
}

void TQXBlockMem::SetHeadCopy(const uint8_t* bytes34) {
    HeadBytes.emplace();
    std::memcpy(HeadBytes->data(), bytes34, BlockHeadCopySize);
}

size_t TQXBlockMem::CopyStream(size_t offset, uint8_t* destination, size_t count) const {
    size_t copied = 0;
    while (copied < count && offset < GetStreamSize()) {
        if (offset < BlockHeaderSize) {
            const size_t n = std::min(count - copied, BlockHeaderSize - offset);
            std::memcpy(destination + copied, Header + offset, n);
            copied += n;
            offset += n;
        } else {
            copied += CopyChunk(destination + copied, DataBytes.get(), offset - BlockHeaderSize,
                                count - copied, DataLength);
            break;
        }
    }
    return copied;
}

uint16_t TQXBlockMem::CalcStreamFcs16() const {
    const uint16_t crc = CalcFcs16(Header, BlockHeaderSize);
    return DataBytes ? CalcFcs16(DataBytes.get(), DataLength, crc) : crc;
}

std::unique_ptr<TQXBlockMemList> CreateBlockMemList(const TQXBlockInfoList& infos) {
    auto list = std::make_unique<TQXBlockMemList>();
    for (int32_t i = 0; i < infos.Count(); ++i) {
        const _QXBlockInfo* info = infos.Get(i);
        if (info && info->Block) list->Add()->Assign(*info->Block);
    }
    return list;
}
