// The menu file reader on arbitrary ini text: never a crash, the limits and
// the item order hold, the linked menu stays as it was, and a menu that can
// be written reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "IniFile.h"
#include "QXMenu.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

bool SameMenu(const TQXMenuData& a, const TQXMenuData& b) {
    if (a.GetMenuItemCount() != b.GetMenuItemCount() || a.GetInfNotCount() != b.GetInfNotCount() ||
        a.GetLanguageCount() != b.GetLanguageCount())
        return false;
    for (int32_t i = 0; i < a.GetMenuItemCount(); ++i)
        if (a.GetMenuItemParent(i) != b.GetMenuItemParent(i) || a.GetMenuItemState(i) != b.GetMenuItemState(i))
            return false;
    for (int32_t k = 0; k < a.GetInfNotCount(); ++k)
        if (a.GetInfNotRange(k) != b.GetInfNotRange(k)) return false;
    for (int32_t l = 0; l < a.GetLanguageCount(); ++l) {
        if (a.GetLanguageName(l) != b.GetLanguageName(l)) return false;
        for (int32_t i = 0; i < a.GetMenuItemCount(); ++i)
            if (a.GetMenuItemName(l, i) != b.GetMenuItemName(l, i) || a.GetMenuItemHelp(l, i) != b.GetMenuItemHelp(l, i))
                return false;
        for (int32_t k = 0; k < a.GetInfNotCount(); ++k)
            if (a.GetInfNotText(l, k) != b.GetInfNotText(l, k)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TMemIniFile ini;
    ini.SetText(std::string(reinterpret_cast<const char*>(data), size));
    TQXMenuData linked(nullptr, nullptr, -1);
    TQXMenuData menu(nullptr, &linked, -1);
    const bool loaded = menu.LoadFromIni(ini);
    Check(linked.GetMenuItemCount() == 0 && linked.GetInfNotCount() == 0);
    Check(menu.GetMenuItemCount() <= TQXMenuData::MaxMenuItems);
    Check(menu.GetInfNotCount() <= TQXMenuData::MaxInfNotItems);
    Check(menu.GetLanguageCount() <= TQXMenuData::MaxLanguages);
    if (!loaded) {
        Check(menu.GetMenuItemCount() == 0 && menu.GetInfNotCount() == 0 && menu.GetLanguageCount() == 0);
        return 0;
    }
    for (int32_t i = 0; i < menu.GetMenuItemCount(); ++i) {
        Check(i == 0 ? menu.GetMenuItemParent(i) == 0 : menu.GetMenuItemParent(i) < i);
        Check(menu.GetTreeNode(i) == nullptr);
    }
    for (int32_t l = 0; l < menu.GetLanguageCount(); ++l) {
        uint32_t imageSize = 0;
        const auto image = menu.BuildLanguageImage(l, imageSize);
        uint64_t expected = 32 + 18ull * static_cast<uint64_t>(menu.GetMenuItemCount());
        for (int32_t k = 0; k < menu.GetInfNotCount(); ++k) expected += menu.GetInfNotRange(k);
        Check(imageSize == expected && image[16] + image[18] == 0xFF && image[17] + image[19] == 0xFF);
    }
    uint32_t statesSize = 0;
    (void)menu.BuildStatesImage(statesSize);
    Check(statesSize == static_cast<uint32_t>(menu.GetMenuItemCount()));

    TMemIniFile out;
    if (!menu.SaveToIni(out)) return 0;  // names that would mix sections, line breaks in names
    std::string text;
    Check(out.GetText(text));  // what the menu accepts to write, the ini text can hold
    TMemIniFile again;
    again.SetText(text);
    TQXMenuData back(nullptr, nullptr, -1);
    Check(back.LoadFromIni(again));
    Check(SameMenu(menu, back));
    return 0;
}
