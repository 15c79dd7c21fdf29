// The images the unit keeps of its menu: one language slot per menu language
// and the menu configuration with every item's visibility.
#include <algorithm>
#include <cstring>

#include "Bytes.h"
#include "Fcs.h"
#include "QXMenu.h"

namespace {

constexpr size_t ItemField = sizeof(_QXMenuItemName::Text);
constexpr size_t FcsOffset = 16;

// A text cut to at most max characters at the start of a zeroed field.
void PutField(uint8_t* field, const std::string& text, size_t max) {
    std::memcpy(field, text.data(), std::min(text.size(), max));
}

}  // namespace

std::unique_ptr<uint8_t[]> TQXMenuData::BuildLanguageImage(int32_t language, uint32_t& size) const {
    uint64_t total = LanguageImageHeaderSize + uint64_t{ItemField} * static_cast<uint64_t>(GetMenuItemCount());
    for (int32_t k = 0; k < GetInfNotCount(); ++k) total += GetInfNotRange(k);
    size = static_cast<uint32_t>(total);  // at most 32 + 18 * 1000 + 255 * 1000
    auto image = std::make_unique<uint8_t[]>(size);  // zero-filled
    uint8_t* const body = image.get() + LanguageImageHeaderSize;

    PutField(image.get(), GetLanguageName(language), LanguageNameLength);
    uint8_t* at = body;
    for (int32_t i = 0; i < GetMenuItemCount(); ++i, at += ItemField)
        PutField(at, GetMenuItemName(language, i), ItemNameLength);
    for (int32_t k = 0; k < GetInfNotCount(); ++k) {
        const uint8_t range = GetInfNotRange(k);
        if (range == 0) continue;  // takes no bytes
        PutField(at, GetInfNotText(language, k), range - 1u);
        at += range;
    }

    const uint16_t fcs = CalcFcs16(body, size - LanguageImageHeaderSize);
    LePut16(image.get() + FcsOffset, fcs);
    LePut16(image.get() + FcsOffset + 2, static_cast<uint16_t>(~fcs));
    return image;
}

std::unique_ptr<uint8_t[]> TQXMenuData::BuildStatesImage(uint32_t& size) const {
    size = static_cast<uint32_t>(GetMenuItemCount());
    auto image = std::make_unique<uint8_t[]>(size);
    for (int32_t i = 0; i < GetMenuItemCount(); ++i) image[static_cast<size_t>(i)] = (GetMenuItemState(i) & 1) ? 0 : 1;
    return image;
}
