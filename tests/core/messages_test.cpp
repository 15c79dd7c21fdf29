// The built-in message table: a sample of every area, written out from the
// list of messages, and the lookup rule.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "MessageIds.h"
#include "Messages.h"

TEST(MessageTable, SampleOfEveryArea) {
    struct Case {
        uint16_t id;
        const char* text;
    };
    const Case cases[] = {
        {1000, "%s\r\nSave changes?"},
        {1004, "Set: %s (%s)\r\nData set already exists, overwrite?"},
        {1009, "&Edit"},
        {1021, "English (Default)"},
        {1029, "Cannot open file.\r\nWrong format or corruped file."},
        {3010, "Save Type"},
        {3011, "Print Type"},
        {4000, "QX318"},
        {4501, "Press 'Refresh' to connect."},
        {4508, "Shortcut &%s"},
        {4512, "Program deleted successfully."},
        {5000, "Parameters"},
        {5030, "Writting Type: %s"},
        {5041, "Cannot export Memory Blocks, an undefined QX Version is used (%s)."},
        {5046, "F1"},
        {5048, "F3"},
        {5053, "Swap LB/HB"},
        {5056, "F3"},
        {5080, "Some errors occured during export.\r\nOutput file is not consistent."},
        {9000, "Read data service started."},
        {9029, "Wrong packet received. (!0x99 || d[21]!=d[22])."},
        {9033, "Block description read successsfully."},
        {9041, "Data Block received: MemType: %sh, Index: %sh, Address: %sh, Size: %s bytes (Total Length: %s)"},
        {9052, "Searching QX..."},
        {9200, "operation(s) executed."},
        {9202, "Unknown service.\r\n"},
        {9218, "Cannot delete type."},
        {9226, "Error Flash Writting."},
        {9232, "Wrong Data Index."},
        {9301, "Not enought memory for language."},
        {9304, "The QX Model (%s) is different that was expected."},
        {10000, "&Abort"},
        {10007, "&Details"},
        {13008, "Some errors occured during import.\r\nInput file is not consistent.\r\nVerify again every imported parameter/table."},
        {20000, "QX318 Menu"},
        {20013, "Attention!\r\n\r\nEvery modification of the menu treeview structure,\r\nor information notification "
                "order/count/ranges\r\ncan make the file incompatible with the original(default) menu!\r\n\r\nContinue?"},
        {20104, "Writing Menu Configuration"},
        {21003, "%s\r\nWrong Hex file format."},
        {21009, "Application deleted successfully."},
        {Msg::RefusedWrongAddress, "Wrong address."},
    };
    for (const auto& c : cases) EXPECT_EQ(LookupMessage(BuiltInMessages, c.id), c.text) << c.id;
}

TEST(MessageTable, LookupRule) {
    EXPECT_EQ(LookupMessage(BuiltInMessages, 0), "");
    EXPECT_EQ(LookupMessage(BuiltInMessages, 1003), "");
    EXPECT_EQ(LookupMessage(BuiltInMessages, 99999), "");
    EXPECT_EQ(LookupMessage(nullptr, 1000), "");
    // The scan ends at the first empty text: entries after it are not found.
    const _MessageEntry table[] = {{1, "one"}, {2, "first two"}, {2, "second two"}, {0, ""}, {3, "after the end"}};
    EXPECT_EQ(LookupMessage(table, 2), "first two");
    EXPECT_EQ(LookupMessage(table, 3), "");
    EXPECT_EQ(LookupMessage(table, 0), "");
}

TEST(MessageTable, IdsAreUniqueAndTheTableEnds) {
    std::set<uint16_t> ids;
    size_t count = 0;
    for (const _MessageEntry* e = BuiltInMessages; e->Text[0] != '\0'; ++e, ++count) {
        EXPECT_NE(e->Id, 0);
        EXPECT_TRUE(ids.insert(e->Id).second) << e->Id;
    }
    // 240 listed texts, "Wrong address." and the two refusals of the block
    // writers (5081, 5082).
    EXPECT_EQ(count, 243u);
}

TEST(MessageTable, RefusalReasons) {
    EXPECT_EQ(RefusalReasonMessageId(0), 0);
    EXPECT_EQ(RefusalReasonMessageId(1), Msg::RefusedWrongAddress);
    EXPECT_EQ(LookupMessage(BuiltInMessages, RefusalReasonMessageId(1)), "Wrong address.");
    EXPECT_EQ(LookupMessage(BuiltInMessages, RefusalReasonMessageId(2)), "Wrong function.");
    EXPECT_EQ(LookupMessage(BuiltInMessages, RefusalReasonMessageId(4)), "Data overwrite.");
    EXPECT_EQ(LookupMessage(BuiltInMessages, RefusalReasonMessageId(15)), "Wrong Data Index.");
    for (uint32_t reason = 2; reason <= 15; ++reason) EXPECT_EQ(RefusalReasonMessageId(reason), 9217 + reason);
    EXPECT_EQ(RefusalReasonMessageId(16), 0);
    EXPECT_EQ(RefusalReasonMessageId(255), 0);
    // Reason 1 and error 143 ("Cannot delete type.") are two messages.
    EXPECT_NE(RefusalReasonMessageId(1), 9218);
}

// Every entry of the table has exactly one name and every name is an entry.
TEST(MessageTable, NamesCoverTheTableOnce) {
    std::set<uint32_t> tableIds;
    for (const _MessageEntry* e = BuiltInMessages; e->Text[0] != '\0'; ++e) tableIds.insert(e->Id);
    std::set<uint32_t> named;
    for (uint32_t id : Msg::AllIds) {
        EXPECT_TRUE(named.insert(id).second) << id << " has two names";
        EXPECT_TRUE(tableIds.count(id)) << id << " is not in the table";
    }
    EXPECT_EQ(named, tableIds);
}

// A name picks the message its name says, in every area and at both ends of
// the ranges code counts through.
TEST(MessageTable, NamesPickTheirTexts) {
    struct Case {
        uint32_t id;
        const char* text;
    };
    const Case cases[] = {
        {Msg::SaveChanges, "%s\r\nSave changes?"},
        {Msg::WrongFormatOrCorrupt, "Cannot open file.\r\nWrong format or corruped file."},
        {Msg::BlockTreeRoot, "QX318"},
        {Msg::ShortcutMenu, "Shortcut &%s"},
        {Msg::CaptionLevel, "Level"},
        {Msg::CaptionValueUnits, "Units"},
        {Msg::Flag1Signed, "Signed"},
        {Msg::Flag1F7, "F7"},
        {Msg::Flag2SwapBytes, "Swap LB/HB"},
        {Msg::Flag2F7, "F7"},
        {Msg::TableBlockTooLarge, "Table %s needs %s bytes per data set.\r\nA QX unit takes at most 65493 bytes per table data set."},
        {Msg::LogAddressMismatch, "Received address is not equal with requested address."},
        {Msg::SearchingQX, "Searching QX..."},
        {Msg::CannotDeleteType, "Cannot delete type."},
        {Msg::RefusedWrongFunction, "Wrong function."},
        {Msg::RefusedWrongDataIndex, "Wrong Data Index."},
        {Msg::RefusedWrongAddress, "Wrong address."},
        {Msg::ModelDiffers, "The QX Model (%s) is different that was expected."},
        {Msg::ButtonAbort, "&Abort"},
        {Msg::ButtonDetails, "&Details"},
        {Msg::ImportErrors, "Some errors occured during import.\r\nInput file is not consistent.\r\nVerify again every imported parameter/table."},
        {Msg::MenuCaptionOriginalText, "Original Text"},
        {Msg::WritingMenuConfig, "Writing Menu Configuration"},
        {Msg::ApplicationDeleted, "Application deleted successfully."},
    };
    for (const auto& c : cases) EXPECT_EQ(LookupMessage(BuiltInMessages, c.id), c.text) << c.id;
}
