// The built-in message table: the English text of every message, dialog
// title, progress line and caption that is fetched by its id.
#pragma once

#include <cstdint>
#include <string_view>

#include "MessageIds.h"

struct _MessageEntry {
    uint16_t Id;
    const char* Text;
};

// In table order, ended by an entry with id 0 and the empty text.
extern const _MessageEntry BuiltInMessages[];

// The text of the first entry with the id, scanning up to the terminator (the
// first entry with an empty text); the empty text when there is none.
std::string_view LookupMessage(const _MessageEntry* table, uint32_t id);

// The message that names the unit's refusal reason: "Wrong address." for 1,
// messages 9219 to 9232 for 2 to 15; 0 (no message, the empty text) for 0
// and reasons above 15.
uint16_t RefusalReasonMessageId(uint32_t reason);
