// What a simulated unit keeps, as a file, so that a unit survives the
// program's end.
//
// The file (all numbers little-endian): the 16 bytes "QX318-SIM STATE\n",
// the format version (32 bits, 1); the memory size (32 bits) and the memory;
// the number of blocks (32 bits) and for each its memory type, index (one
// byte each), stream size (32 bits) and stream; the number of used program
// slots (32 bits) and for each its slot, segment mask (one byte each), name
// length (one byte), name, image size (32 bits) and image; last the CRC-16
// of everything before it (16 bits).
#pragma once

#include "SimUnitServices.h"

#include <optional>
#include <string>
#include <string_view>

std::string EncodeSimState(const SimUnitServices::Contents& contents);

// The contents of a state file; nullopt with the reason when the bytes are
// damaged or could not have come from a unit.
std::optional<SimUnitServices::Contents> DecodeSimState(std::string_view bytes, std::string* reason);
