#include "FrameTest.h"
#include "RecentFiles.h"
#include "Thdrobj.h"

namespace {

std::vector<std::string> Listed(const TRecentFiles& r) { return {r.Names().begin(), r.Names().end()}; }

std::vector<std::string> MenuItems(QMenu& menu) {
    std::vector<std::string> items;
    for (QAction* a : menu.actions()) items.push_back(TRecentFiles::ItemFileName(a));
    return items;
}

class RecentFiles : public FrameFixture {
protected:
    std::string Path() const { return (Root / "recent.cfg").string(); }
    // Loads a recent-files section of these bytes (none when null).
    void Load(TRecentFiles& recent, const std::string* section) {
        THdrFile file;
        ASSERT_TRUE(file.Create(Path(), "QX318 APP"));
        if (section) {
            ASSERT_TRUE(file.WriteSection(0x0101, 0, section->size(), section->data()));
        }
        recent.LoadFrom(file);
    }
};

}  // namespace

TEST_F(RecentFiles, NewestFirstAtMostFive) {
    struct Case {
        std::vector<std::string> opened;
        std::vector<std::string> listed;
    } cases[] = {
        {{"A", "B", "C"}, {"C", "B", "A", "", ""}},
        {{"A", "B", "C", "B"}, {"B", "C", "A", "", ""}},
        {{"A", "B", "C", "D", "E", "F"}, {"F", "E", "D", "C", "B"}},
        {{"A", "B", "C", "D", "E", "C"}, {"C", "E", "D", "B", "A"}},
        {{"a.mtp", "A.MTP"}, {"A.MTP", "a.mtp", "", "", ""}},
        {{"A", "A"}, {"A", "", "", "", ""}},
    };
    for (const auto& c : cases) {
        TRecentFiles recent;
        for (const auto& name : c.opened) recent.Add(name);
        EXPECT_EQ(Listed(recent), c.listed);
    }
}

TEST_F(RecentFiles, SectionBytes) {
    TRecentFiles recent;
    EXPECT_EQ(recent.SectionBytes(), std::vector<uint8_t>(5, 0));
    recent.Add("/x/a.mtp");
    recent.Add("b");
    const std::string expected("b\0/x/a.mtp\0\0\0\0", 14);  // sum of lengths + 5
    EXPECT_EQ(recent.SectionBytes(), std::vector<uint8_t>(expected.begin(), expected.end()));

    THdrFile file;
    ASSERT_TRUE(file.Create(Path(), "QX318 APP"));
    ASSERT_TRUE(recent.SaveTo(file));
    uint32_t size = 0;
    auto bytes = file.ReadSectionAlloc(0x0101, 0, &size);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes.get()), size), expected);
}

TEST_F(RecentFiles, LoadingAndTheSubmenu) {
    QMenu menu;
    std::vector<std::string> clicked;
    TRecentFiles recent;
    recent.SetMenu(&menu, [&](QAction* a) { clicked.push_back(TRecentFiles::ItemFileName(a)); });
    EXPECT_FALSE(menu.isEnabled());

    const std::string empty(5, '\0');
    Load(recent, &empty);
    EXPECT_TRUE(menu.actions().isEmpty());
    EXPECT_FALSE(menu.isEnabled());

    // Written by a foreign tool: names in slots 0 and 3 only.
    const std::string gaps("A\0\0\0D\0\0", 7);
    Load(recent, &gaps);
    EXPECT_EQ(MenuItems(menu), (std::vector<std::string>{"A", "D"}));
    EXPECT_TRUE(menu.isEnabled());
    recent.Add("N");  // one pass closes one gap only
    EXPECT_EQ(Listed(recent), (std::vector<std::string>{"N", "A", "", "D", ""}));
    EXPECT_EQ(MenuItems(menu), (std::vector<std::string>{"N", "A", "D"}));

    // Shorter than five entries; the last one cut off by the end.
    const std::string shortSection("first\0sec", 9);
    Load(recent, &shortSection);
    EXPECT_EQ(Listed(recent), (std::vector<std::string>{"first", "sec", "", "", ""}));

    // No section at all empties the list.
    Load(recent, nullptr);
    EXPECT_EQ(Listed(recent), (std::vector<std::string>(5)));

    recent.Add("R&D.mtp");
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_EQ(menu.actions()[0]->text(), "R&&D.mtp");  // no accelerator
    menu.actions()[0]->trigger();
    EXPECT_EQ(clicked, std::vector<std::string>{"R&D.mtp"});
    recent.Add(nullptr);
    EXPECT_EQ(Listed(recent)[0], "R&D.mtp");
}
