#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QXMenu.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& text, size_t field) {
    Bytes out(text.begin(), text.end());
    out.resize(field, 0);
    return out;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes LanguageImage(const TQXMenuData& m, int32_t language) {
    uint32_t size = 0xDEAD;
    auto image = m.BuildLanguageImage(language, size);
    return Bytes(image.get(), image.get() + size);
}

Bytes StatesImage(const TQXMenuData& m) {
    uint32_t size = 0xDEAD;
    auto image = m.BuildStatesImage(size);
    return Bytes(image.get(), image.get() + size);
}

// The header: the name in 16 bytes, the FCS and its complement (little
// endian), twelve zero bytes.
Bytes Header(const std::string& name, uint16_t fcs) {
    const uint16_t complement = static_cast<uint16_t>(~fcs);
    return Text(name, 16) + Bytes{static_cast<uint8_t>(fcs & 0xFF), static_cast<uint8_t>(fcs >> 8),
                                  static_cast<uint8_t>(complement & 0xFF), static_cast<uint8_t>(complement >> 8)} +
           Bytes(12, 0);
}

// Three items, InfNot ranges 20, 0 and 5, one language English.
class MenuImageTest : public ::testing::Test {
protected:
    TQXMenuData menu{nullptr, nullptr, -1};

    void SetUp() override {
        for (int i = 0; i < 3; ++i) menu.AddMenuItem(0);
        for (int k = 0; k < 3; ++k) menu.AddInfNotItem();
        menu.SetInfNotRange(0, 20);
        menu.SetInfNotRange(1, 0);
        menu.SetInfNotRange(2, 5);
        menu.AddLanguage();
        menu.SetLanguageName(0, "English");
        menu.SetMenuItemName(0, 0, "Main");
        menu.SetMenuItemName(0, 1, "Setup");
        menu.SetMenuItemName(0, 2, "ABCDEFGHIJKLMNOPQ");  // 17 characters fill the field but its last byte
        menu.SetInfNotText(0, 0, "Please wait");
        menu.SetInfNotText(0, 1, "unused");
        menu.SetInfNotText(0, 2, "abcdefghijklmnopqrs");  // 19 characters in a 5-byte field
    }
};

}  // namespace

TEST_F(MenuImageTest, LanguageImageHoldsHeaderNamesAndInfNotTexts) {
    const Bytes body = Text("Main", 18) + Text("Setup", 18) + Text("ABCDEFGHIJKLMNOPQ", 18) +
                       Text("Please wait", 20) + Text("abcd", 5);
    const Bytes image = LanguageImage(menu, 0);
    ASSERT_EQ(image.size(), 111u);  // 32 + 3 * 18 + 20 + 0 + 5
    EXPECT_EQ(image, Header("English", 0xD98D) + body);
    EXPECT_EQ(image[86], 'P');   // InfNot item 0
    EXPECT_EQ(image[106], 'a');  // InfNot item 2; item 1 takes no bytes
    EXPECT_EQ(image[16] + 256 * image[17] + image[18] + 256 * image[19], 0xFFFF);
}

TEST_F(MenuImageTest, AMissingLanguageGivesZeroTextsInAFullSizeImage) {
    EXPECT_EQ(LanguageImage(menu, -1), Header("", 0xA682) + Bytes(79, 0));
    EXPECT_EQ(LanguageImage(menu, 1), LanguageImage(menu, -1));
}

TEST_F(MenuImageTest, TheFcsFollowsEveryByteOfTheBody) {
    EXPECT_EQ(LanguageImage(menu, 0), LanguageImage(menu, 0));
    Bytes before = LanguageImage(menu, 0);
    menu.SetMenuItemName(0, 2, "ABCDEFGHIJKLMNOPq");
    Bytes after = LanguageImage(menu, 0);
    EXPECT_EQ(after[16] + 256 * after[17], 0xC027);
    for (size_t i = 16; i < 20; ++i) EXPECT_NE(before[i], after[i]) << i;
    // The name is not covered.
    menu.SetLanguageName(0, "Englisch");
    before = after;
    after = LanguageImage(menu, 0);
    EXPECT_EQ(Bytes(after.begin() + 16, after.end()), Bytes(before.begin() + 16, before.end()));
}

TEST(TQXMenuData, EmptyBodyHasTheInitialFcs) {
    TQXMenuData menu(nullptr, nullptr, -1);
    menu.AddLanguage();
    menu.SetLanguageName(0, "0123456789");
    EXPECT_EQ(LanguageImage(menu, 0), Header("0123456789", 0xFFFF));
    EXPECT_EQ(StatesImage(menu), Bytes{});
}

TEST(TQXMenuData, StatesImageHasOneVisibilityBytePerItem) {
    TQXMenuData menu(nullptr, nullptr, -1);
    for (int i = 0; i < 3; ++i) menu.AddMenuItem(0);
    menu.SetMenuItemState(2, 1);
    EXPECT_EQ(StatesImage(menu), (Bytes{1, 1, 0}));
    menu.SetMenuItemState(0, 0x80);  // only bit 0 counts
    menu.SetMenuItemState(1, 0xFF);
    menu.SetMenuItemState(2, 0xFE);
    EXPECT_EQ(StatesImage(menu), (Bytes{1, 0, 1}));
}
