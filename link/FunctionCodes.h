// The unit's wire protocol: frame addresses, the function codes of the PC's
// requests and the reply codes of the unit. Every service, the simulated unit
// and the tests name the codes from here.
#pragma once

#include <cstdint>

namespace QXWire {

// Addresses in the first two bytes of every frame.
constexpr uint8_t UnitAddress = 0xEC;
constexpr uint8_t PcAddress = 0x88;

// Memory addresses travel in 24 bits: nothing lies at or beyond this one.
constexpr uint32_t AddressSpace = 0x1000000;

// Requests of the PC.
namespace Request {
constexpr uint8_t ReadData = 0xB2;       // 24-bit address, count
constexpr uint8_t WriteData = 0x32;      // 24-bit address, data
constexpr uint8_t ReadInfo = 0xC4;       // [2]: memory configuration; [type, index]: block description
constexpr uint8_t ProgramPacket = 0x10;  // a program's description packet, then its data packets
constexpr uint8_t CheckPacket = 0x0C;    // CRC-16 after a program or a block
constexpr uint8_t ClearProgram = 0x11;   // slot, name
constexpr uint8_t ProgramStatus = 0xDA;  // 0x99, slot
constexpr uint8_t Delete = 0x02;         // a block (type, index, header, name) or a type (2, name)
constexpr uint8_t ReadBlock = 0x94;      // type, index, 16-bit offset
constexpr uint8_t BlockPacket = 0x14;    // type, index, 16-bit offset, stream bytes
constexpr uint8_t ModelVersion = 0xC3;   // no data
}  // namespace Request

// Replies of the unit.
namespace Reply {
constexpr uint8_t None = 0x00;         // no reply: time-out, framing error, port closed
constexpr uint8_t Data = 0x32;         // to ReadData: 24-bit address, data
constexpr uint8_t Acknowledge = 0xE0;  // to WriteData, program packets, ClearProgram, Delete
constexpr uint8_t Refusal = 0xF0;      // reason byte
constexpr uint8_t Info = 0x44;         // to ReadInfo
constexpr uint8_t ProgramStatus = 0x5A;
constexpr uint8_t BlockData = 0x14;     // to ReadBlock: type, index, 16-bit offset, payload
constexpr uint8_t BlockPacketAck = 0x94;
constexpr uint8_t CheckAck = 0x8C;      // to a block's CheckPacket: the CRC received
constexpr uint8_t ModelVersion = 0x43;  // the model text
}  // namespace Reply

// First data byte of a program-status request and of its good reply.
constexpr uint8_t ProgramStatusMarker = 0x99;
// First data byte of a ReadInfo request for the memory configuration, and of
// a Delete request for a whole type.
constexpr uint8_t MemConfigSelector = 2;
constexpr uint8_t DeleteTypeSelector = 2;
// First data byte of a program's description packet (its data packets carry
// image bytes only).
constexpr uint8_t ProgramDescriptionMarker = 0xFF;

// Refusal reasons the services act on.
namespace Refusal {
constexpr uint8_t DataOverwrite = 4;  // a block written anew exists already
}  // namespace Refusal

}  // namespace QXWire
