// The state file that keeps a simulated unit across runs: its bytes written
// out by hand, and every kind of damage refused with its reason.
#include "Fcs.h"
#include "SimState.h"

#include <gtest/gtest.h>

namespace {
using Bytes = std::vector<uint8_t>;

// Memory erased but for its first byte; block (0, 3) of a bare 6-byte header;
// program "AB" of three bytes in slot 2, in segment 2.
SimUnitServices::Contents Small() {
    SimUnitServices::Contents c;
    c.Memory.assign(SimUnitServices::MemorySize, 0xFF);
    c.Memory[0] = 0x5A;
    c.Blocks[{0, 3}] = {0x03, 0x00, 0x06, 0x00, 0x12, 0x34};
    c.Programs[2] = SimUnitServices::Program{"AB", {1, 2, 3}, 0x04};
    return c;
}

std::string Text(const Bytes& b) { return std::string(b.begin(), b.end()); }

// The file of Small(), byte by byte.
std::string SmallFile() {
    std::string f = "QX318-SIM STATE\n";
    f += Text({0x01, 0x00, 0x00, 0x00});  // version 1
    f += Text({0x00, 0x00, 0x10, 0x00});  // memory: 1 MB
    f += '\x5A';
    f += std::string(SimUnitServices::MemorySize - 1, '\xFF');
    f += Text({0x01, 0x00, 0x00, 0x00,                     // one block
               0x00, 0x03, 0x06, 0x00, 0x00, 0x00,         // type 0, index 3, 6 bytes
               0x03, 0x00, 0x06, 0x00, 0x12, 0x34,         // its stream
               0x01, 0x00, 0x00, 0x00,                     // one program
               0x02, 0x04, 0x02, 'A', 'B',                 // slot 2, mask, name
               0x03, 0x00, 0x00, 0x00, 0x01, 0x02, 0x03}); // image
    return f;
}

// Appends the CRC-16 of everything before it, low byte first.
std::string Sealed(std::string body) {
    const uint16_t crc = CalcFcs16(reinterpret_cast<const uint8_t*>(body.data()), body.size());
    body += static_cast<char>(crc & 0xFF);
    body += static_cast<char>(crc >> 8);
    return body;
}
}  // namespace

TEST(SimState, FileHoldsMemoryBlocksAndProgramsAsWrittenOut) {
    EXPECT_EQ(EncodeSimState(Small()), Sealed(SmallFile()));

    std::string reason;
    const auto back = DecodeSimState(Sealed(SmallFile()), &reason);
    ASSERT_TRUE(back) << reason;
    const auto want = Small();
    EXPECT_EQ(back->Memory, want.Memory);
    EXPECT_EQ(back->Blocks, want.Blocks);
    for (size_t slot = 0; slot < want.Programs.size(); ++slot) {
        ASSERT_EQ(back->Programs[slot].has_value(), want.Programs[slot].has_value()) << slot;
        if (!want.Programs[slot]) continue;
        EXPECT_EQ(back->Programs[slot]->Name, want.Programs[slot]->Name);
        EXPECT_EQ(back->Programs[slot]->Image, want.Programs[slot]->Image);
        EXPECT_EQ(back->Programs[slot]->Mask, want.Programs[slot]->Mask);
    }
}

TEST(SimState, DamagedFilesAreRefusedWithTheirReason) {
    const std::string good = SmallFile();
    const size_t memory = 16 + 4 + 4;                      // first memory byte
    const size_t block = memory + SimUnitServices::MemorySize + 4;  // block's memory type
    const size_t program = block + 2 + 4 + 6 + 4;          // program's slot byte
    auto with = [&](size_t at, std::string bytes) {
        std::string f = good;
        f.replace(at, bytes.size(), bytes);
        return f;
    };
    struct Case {
        std::string name, file, reason;
    };
    const Case cases[] = {
        {"empty", "", "it is not a state file of the simulated unit"},
        {"another file", "QX218 TYP" + std::string(40, '\0'), "it is not a state file of the simulated unit"},
        {"magic only", "QX318-SIM STATE\n", "it is cut short"},
        {"a memory byte changed", with(memory + 77, "\x01") + Sealed(good).substr(good.size()),
         "its check sum does not match its contents"},
        {"cut off", Sealed(good).substr(0, 5000), "its check sum does not match its contents"},
        {"newer version", Sealed(with(16, std::string("\x02", 1))), "it has the unknown format version 2"},
        {"cut short inside", Sealed(good.substr(0, good.size() - 1)), "it is cut short"},
        {"bytes after its end", Sealed(good + "x"), "it has bytes after its end"},
        {"small memory",
         Sealed(good.substr(0, 20) + Text({16, 0, 0, 0}) + std::string(16, '\xFF') + good.substr(block - 4)),
         "the memory is not 1048576 bytes"},
        {"block shorter than its header",
         Sealed(good.substr(0, block + 2) + Text({5, 0, 0, 0}) + good.substr(block + 6, 5) + good.substr(block + 12)),
         "block 0/3 has 5 bytes"},
        {"block twice",
         Sealed(with(block - 4, std::string("\x02\0\0\0", 4)).substr(0, program - 4) +
                good.substr(block, 12) + good.substr(program - 4)),
         "it holds a block twice"},
        {"slot beyond the eighth", Sealed(with(program, "\x09")), "it names the program slot 9"},
        {"segments that do not fit", Sealed(with(program + 1, "\x06")),
         "program slot 2 occupies segments that do not fit its program"},
        {"program without a name", Sealed(good.substr(0, program + 2) + Text({0}) + good.substr(program + 5)),
         "program slot 2 has no valid name"},
    };
    for (const auto& c : cases) {
        std::string reason;
        EXPECT_FALSE(DecodeSimState(c.file, &reason)) << c.name;
        EXPECT_EQ(reason, c.reason) << c.name;
    }
}
