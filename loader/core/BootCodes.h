// The boot loader's telegrams: the request's first bytes, the reply status
// and the leading bytes of every payload the conversion builds.
#pragma once

#include <cstdint>

namespace QXBoot {

// First two bytes of every request; LEN follows.
constexpr uint8_t FrameStart = 0x99;
constexpr uint8_t PcAddress = 0x88;

// Reply status (reply byte 3).
constexpr uint8_t Acknowledge = 0xE0;
constexpr uint8_t Refusal = 0xF0;  // data byte 0: the code, data byte 1: a detail

// The sync pair the boot loader finds in headers and HEX blocks.
constexpr uint8_t Sync[2] = {0xAA, 0x55};
// The header's proceed pair: go on although the board's identity differs.
constexpr uint8_t Proceed[2] = {0x57, 0x13};

// First payload byte: the kind of telegram.
constexpr char SRecordKind = 's';   // S-record lines and the blocks of a HEX image
constexpr char BinaryKind = 't';    // binary files for the 89S825x
constexpr char Es850Kind = 'u';     // HEX images for the 850ES boards
constexpr char MainHeader = 'q';
constexpr char UserHeader = 'p';
constexpr char IntrHeader = 'r';
constexpr char IntrModHeader = 't';

// Second byte of a HEX block telegram of kind 's' (after the sync pair).
constexpr uint8_t HexBlock = 0x00;
constexpr uint8_t HexClosing = 0x01;

// Second byte of the binary and the 850ES telegrams.
constexpr uint8_t Opening = 0x00;
constexpr uint8_t Data = 0x01;
constexpr uint8_t Closing = 0x02;

}  // namespace QXBoot
