// Unit memory blocks, block lists and the block records of the block tree.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Fcs.h"
#include "QXBlock.h"

namespace {

std::vector<uint8_t> Counting(size_t n, uint8_t first = 0) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(first + i);
    return bytes;
}

}  // namespace

TEST(BlockHeader, DataLengthIsStoredPlusSixIn16Bits) {
    uint8_t header[6] = {3, 0xAA, 0x06, 0x00, 0xBB, 0xCC};
    EXPECT_EQ(GetBlockDataLength(header), 0);
    SetBlockDataLength(header, 0x1234);
    EXPECT_EQ(header[2], 0x3A);
    EXPECT_EQ(header[3], 0x12);
    EXPECT_EQ(header[0], 3);
    EXPECT_EQ(header[1], 0xAA);
    EXPECT_EQ(header[4], 0xBB);
    EXPECT_EQ(header[5], 0xCC);
    EXPECT_EQ(GetBlockDataLength(header), 0x1234);
    // Below 6 the stored value wraps in 16 bits.
    header[2] = 5;
    header[3] = 0;
    EXPECT_EQ(GetBlockDataLength(header), 0xFFFF);
    SetBlockDataLength(header, 65529);
    EXPECT_EQ(header[2], 0xFF);
    EXPECT_EQ(header[3], 0xFF);
}

TEST(BlockMem, NewAndClearedBlocksAreEmpty) {
    TQXBlockMem block;
    EXPECT_EQ(block.MemType, 0);
    EXPECT_EQ(block.Data(), nullptr);
    EXPECT_EQ(block.HeadCopy(), nullptr);
    const uint8_t zeros[8] = {};
    EXPECT_EQ(std::memcmp(block.Header, zeros, 6), 0);

    block.MemType = 1;
    block.Index = 7;
    block.Descriptor[3] = 9;
    block.Header[0] = BlockTableData;
    block.AllocData(40);
    block.MakeHeadCopy();
    block.Clear();
    EXPECT_EQ(block.MemType, 0);
    EXPECT_EQ(block.Index, 0);
    EXPECT_EQ(std::memcmp(block.Descriptor, zeros, 8), 0);
    EXPECT_EQ(std::memcmp(block.Header, zeros, 6), 0);
    EXPECT_EQ(block.Data(), nullptr);
    EXPECT_EQ(block.GetDataLength(), 0u);
    EXPECT_EQ(block.HeadCopy(), nullptr);
}

TEST(BlockMem, DataKeepsTheHeaderLengthInStep) {
    TQXBlockMem block;
    block.Header[0] = BlockParametersData;
    const auto bytes = Counting(300);
    ASSERT_TRUE(block.SetData(bytes.data(), 300));
    EXPECT_EQ(block.GetDataLength(), 300u);
    EXPECT_EQ(GetBlockDataLength(block.Header), 300);
    EXPECT_EQ(block.Header[0], BlockParametersData);
    EXPECT_EQ(std::memcmp(block.Data(), bytes.data(), 300), 0);

    // Too much for the 16-bit header is refused and changes nothing.
    EXPECT_EQ(block.AllocData(MaxBlockDataLength + 1), nullptr);
    EXPECT_EQ(block.GetDataLength(), 300u);
    EXPECT_EQ(GetBlockDataLength(block.Header), 300);
    ASSERT_NE(block.AllocData(MaxBlockDataLength), nullptr);
    EXPECT_EQ(GetBlockDataLength(block.Header), 65529);
    EXPECT_EQ(block.Data()[65528], 0);
}

TEST(BlockMem, HeadCopyNeedsThirtyFourBytes) {
    TQXBlockMem block;
    block.SetData(Counting(33).data(), 33);
    block.MakeHeadCopy();
    EXPECT_EQ(block.HeadCopy(), nullptr);

    block.SetData(Counting(34, 0x40).data(), 34);
    block.MakeHeadCopy();
    ASSERT_NE(block.HeadCopy(), nullptr);
    EXPECT_EQ(std::memcmp(block.HeadCopy(), Counting(34, 0x40).data(), 34), 0);
    // The copy is the block's own: changing the data leaves it.
    block.Data()[0] = 0;
    EXPECT_EQ(block.HeadCopy()[0], 0x40);
    // A later copy of a shorter block leaves none.
    block.SetData(Counting(10).data(), 10);
    block.MakeHeadCopy();
    EXPECT_EQ(block.HeadCopy(), nullptr);
}

TEST(BlockMem, AssignCopiesEverything) {
    TQXBlockMem source;
    source.MemType = 1;
    source.Index = 0x21;
    for (int i = 0; i < 8; ++i) source.Descriptor[i] = static_cast<uint8_t>(0xD0 + i);
    source.Header[0] = BlockTableData;
    source.Header[1] = 0x11;
    source.Header[4] = 0x44;
    source.Header[5] = 0x55;
    source.SetData(Counting(50).data(), 50);
    source.MakeHeadCopy();

    TQXBlockMem copy;
    copy.SetData(Counting(5).data(), 5);
    copy.Assign(source);
    EXPECT_EQ(copy.MemType, 1);
    EXPECT_EQ(copy.Index, 0x21);
    EXPECT_EQ(std::memcmp(copy.Descriptor, source.Descriptor, 8), 0);
    EXPECT_EQ(std::memcmp(copy.Header, source.Header, 6), 0);
    ASSERT_EQ(copy.GetDataLength(), 50u);
    EXPECT_NE(copy.Data(), source.Data());
    EXPECT_EQ(std::memcmp(copy.Data(), source.Data(), 50), 0);
    ASSERT_NE(copy.HeadCopy(), nullptr);
    EXPECT_NE(copy.HeadCopy(), source.HeadCopy());
    EXPECT_EQ(std::memcmp(copy.HeadCopy(), source.HeadCopy(), 34), 0);

    // Length 0 with data: a copy with data of 0 bytes, not "no data".
    TQXBlockMem empty;
    empty.AllocData(0);
    EXPECT_EQ(GetBlockDataLength(empty.Header), 0);
    copy.Assign(empty);
    EXPECT_NE(copy.Data(), nullptr);
    EXPECT_EQ(copy.GetDataLength(), 0u);
    EXPECT_EQ(copy.HeadCopy(), nullptr);
}

TEST(BlockMem, HeaderThatDisagreesWithTheDataNeverLeadsPastIt) {
    TQXBlockMem block;
    block.SetData(Counting(10).data(), 10);
    SetBlockDataLength(block.Header, 4000);  // as a damaged reply could leave it

    TQXBlockMem copy(block);
    EXPECT_EQ(copy.GetDataLength(), 10u);
    EXPECT_EQ(std::memcmp(copy.Data(), block.Data(), 10), 0);
    EXPECT_EQ(copy.GetStreamSize(), 16u);
    copy.MakeHeadCopy();
    EXPECT_EQ(copy.HeadCopy(), nullptr);

    std::vector<uint8_t> stream(200, 0xEE);
    EXPECT_EQ(copy.CopyStream(0, stream.data(), stream.size()), 16u);
    EXPECT_EQ(stream[16], 0xEE);
}

TEST(BlockMem, StreamIsHeaderThenData) {
    TQXBlockMem block;
    block.Header[0] = BlockParametersText;
    block.SetData(Counting(200, 1).data(), 200);
    // Header: kind 1, byte 1 zero, 206 = 0x00CE little-endian, two zeros.
    const uint8_t header[6] = {1, 0, 0xCE, 0x00, 0, 0};
    EXPECT_EQ(std::memcmp(block.Header, header, 6), 0);

    std::vector<uint8_t> expected(header, header + 6);
    const auto data = Counting(200, 1);
    expected.insert(expected.end(), data.begin(), data.end());
    EXPECT_EQ(block.GetStreamSize(), 206u);

    // In packets of 128 stream bytes, as the write service sends them.
    std::vector<uint8_t> sent;
    uint8_t packet[128];
    for (size_t offset = 0; offset < block.GetStreamSize();) {
        const size_t n = block.CopyStream(offset, packet, sizeof packet);
        ASSERT_GT(n, 0u);
        sent.insert(sent.end(), packet, packet + n);
        offset += n;
    }
    EXPECT_EQ(sent, expected);
    EXPECT_EQ(block.CopyStream(3, packet, 5), 5u);
    EXPECT_EQ(packet[0], 0x00);
    EXPECT_EQ(packet[3], 1);
    EXPECT_EQ(block.CopyStream(206, packet, 5), 0u);
    EXPECT_EQ(block.CalcStreamFcs16(), CalcFcs16(expected.data(), expected.size()));

    TQXBlockMem bare;
    EXPECT_EQ(bare.GetStreamSize(), 6u);
    EXPECT_EQ(bare.CopyStream(0, packet, 128), 6u);
}

TEST(BlockLists, OwnBlocksAndCopyForUpload) {
    TQXBlockMemList blocks;
    for (int i = 0; i < 3; ++i) {
        TQXBlockMem* b = blocks.Add();
        b->Index = static_cast<uint8_t>(i);
        b->SetData(Counting(40, static_cast<uint8_t>(i)).data(), 40);
    }
    blocks.Delete(-1);
    blocks.Delete(3);
    EXPECT_EQ(blocks.Count(), 3);
    EXPECT_EQ(blocks.Get(3), nullptr);

    TQXBlockInfoList infos;
    _QXBlockInfo* fresh = infos.Add();
    EXPECT_EQ(fresh->Kind, 0u);
    EXPECT_TRUE(fresh->Name.empty());
    EXPECT_TRUE(fresh->OwnerName.empty());
    EXPECT_EQ(fresh->Block, nullptr);
    fresh->Block = blocks.Get(2);
    infos.Add();  // no block
    infos.Add()->Block = blocks.Get(0);

    auto copies = CreateBlockMemList(infos);
    ASSERT_EQ(copies->Count(), 2);
    EXPECT_EQ(copies->Get(0)->Index, 2);
    EXPECT_EQ(copies->Get(1)->Index, 0);
    EXPECT_NE(copies->Get(0)->Data(), blocks.Get(2)->Data());
    copies.reset();
    // The originals are intact after the copies are gone.
    EXPECT_EQ(blocks.Get(2)->Data()[0], 2);
    EXPECT_EQ(blocks.Get(2)->GetDataLength(), 40u);

    infos.Clear();
    EXPECT_EQ(blocks.Count(), 3);
    blocks.Delete(1);
    EXPECT_EQ(blocks.Count(), 2);
    EXPECT_EQ(blocks.Get(1)->Index, 2);
}

TEST(BlockMem, MovedFromBlockIsEmpty) {
    TQXBlockMem source;
    source.MemType = 1;
    source.Header[0] = BlockTableData;
    source.SetData(Counting(40).data(), 40);
    source.MakeHeadCopy();

    TQXBlockMem moved(std::move(source));
    ASSERT_EQ(moved.GetDataLength(), 40u);
    EXPECT_EQ(moved.Data()[39], 39);
    EXPECT_EQ(GetBlockDataLength(moved.Header), 40);
    EXPECT_NE(moved.HeadCopy(), nullptr);
    // The block left behind holds no data and says so.
    EXPECT_EQ(source.Data(), nullptr);
    EXPECT_EQ(source.GetDataLength(), 0u);
    EXPECT_EQ(source.HeadCopy(), nullptr);
    EXPECT_EQ(source.GetStreamSize(), 6u);
    uint8_t packet[64];
    EXPECT_EQ(source.CopyStream(0, packet, sizeof packet), 6u);

    TQXBlockMem target;
    target.SetData(Counting(5).data(), 5);
    target = std::move(moved);
    EXPECT_EQ(target.GetDataLength(), 40u);
    EXPECT_EQ(target.MemType, 1);
    EXPECT_EQ(moved.Data(), nullptr);
    EXPECT_EQ(moved.GetDataLength(), 0u);
    EXPECT_EQ(moved.GetStreamSize(), 6u);
}
