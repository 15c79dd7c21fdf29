// When the type window offers its commands (the expert gate among them),
// and the texts of its caption, status bar and language menu.
#include <gtest/gtest.h>

#include "TypeCommands.h"
#include "../TypeSamples.h"

namespace {

using C = TTypeCommand;

}  // namespace

TEST(TypeCommands, StructureCommandsNeedExpertModeAndTheirSelection) {
    uint8_t formats[100] = {};
    TTypeObjectData type(formats);
    FillSampleType(type);
    struct Case {
        C Command;
        _TypeSelection Selection;
        int32_t Clipboard;
        bool Enabled;  // in expert mode; never without it
    };
    const Case cases[] = {
        {C::AddTable, Selected(0), -1, true},
        {C::InsertTable, Selected(3, 0), -1, true},
        {C::InsertTable, Selected(3, -1), -1, false},
        {C::DeleteTable, Selected(4, 1, 0), -1, true},
        {C::CopyTable, Selected(0), -1, false},
        {C::PasteTable, Selected(3, 0), 3, true},
        {C::PasteTable, Selected(3, 0), 4, false},
        {C::PasteTable, Selected(4, 0, 1), 3, false},
        {C::AddField, Selected(3, 0), -1, true},
        {C::InsertField, Selected(3, 0, -1), -1, false},
        {C::InsertField, Selected(4, 0, 1), -1, true},
        {C::DeleteField, Selected(3, 0, 2), -1, true},
        {C::CopyField, Selected(3, 0, 2), -1, false},
        {C::CopyField, Selected(4, 0, 2), -1, true},
        {C::PasteField, Selected(4, 0, 2), 4, true},
        {C::PasteField, Selected(4, 0, 2), 0, false},
        {C::AddRow, Selected(4, 0, 1), -1, true},
        {C::InsertRow, Selected(3, 0, -1, 1), -1, true},
        {C::InsertRow, Selected(4, 0, 1, 1), -1, false},
        {C::DeleteRow, Selected(3, 0, -1, -1), -1, false},
        {C::AddParameter, Selected(0), -1, true},
        {C::AddParameter, Selected(1), -1, false},
        {C::InsertParameter, Selected(0, -1, -1, -1, 2), -1, true},
        {C::DeleteParameter, Selected(0), -1, false},
        {C::CopyParameter, Selected(0, -1, -1, -1, 0), -1, true},
        {C::PasteParameter, Selected(0, -1, -1, -1, 0), 0, true},
        {C::PasteParameter, Selected(0, -1, -1, -1, 0), 3, false},
        {C::AddLanguage, Selected(1), -1, true},
        {C::InsertLanguage, Selected(2, -1, -1, -1, -1, 1), -1, true},
        {C::InsertLanguage, Selected(2, -1, -1, -1, -1, 2), -1, false},
        {C::DeleteLanguage, Selected(2, -1, -1, -1, -1, 0), -1, true},
        {C::RenameLanguage, Selected(2, -1, -1, -1, -1, 1), -1, true},
        {C::RenameLanguage, Selected(0), -1, false},
    };
    for (const Case& c : cases) {
        TTypeCommandState state{c.Selection, true, c.Clipboard, &type, -1};
        EXPECT_EQ(TypeCommandEnabled(c.Command, state), c.Enabled) << int(c.Command);
        state.Expert = false;
        EXPECT_FALSE(TypeCommandEnabled(c.Command, state)) << int(c.Command);
    }
}

TEST(TypeCommands, LanguageLimitsAndTheUngatedCommands) {
    uint8_t formats[100] = {};
    TTypeObjectData type(formats);
    TTypeCommandState state{Selected(2, -1, -1, -1, -1, 0), true, -1, &type, -1};
    // One language cannot go; ten cannot grow.
    EXPECT_FALSE(TypeCommandEnabled(C::DeleteLanguage, state));
    type.GetTypeData().SetLanguageCount(10);
    EXPECT_FALSE(TypeCommandEnabled(C::AddLanguage, state));
    EXPECT_FALSE(TypeCommandEnabled(C::InsertLanguage, state));
    EXPECT_TRUE(TypeCommandEnabled(C::DeleteLanguage, state));

    for (bool expert : {false, true}) {
        state.Expert = expert;
        state.ViewSlot = -1;
        EXPECT_TRUE(TypeCommandEnabled(C::Language, state));
        EXPECT_TRUE(TypeCommandEnabled(C::ViewEditAsFormat, state));
        EXPECT_TRUE(TypeCommandEnabled(C::DownloadType, state));
        EXPECT_FALSE(TypeCommandEnabled(C::ViewEditAs, state));
        state.ViewSlot = 99;
        EXPECT_TRUE(TypeCommandEnabled(C::ViewEditAs, state));
        state.ViewSlot = 100;
        EXPECT_FALSE(TypeCommandEnabled(C::ViewEditAs, state));
        // The upload needs a type name.
        EXPECT_FALSE(TypeCommandEnabled(C::UploadType, state));
        type.SetTypeName("X");
        EXPECT_TRUE(TypeCommandEnabled(C::UploadType, state));
        type.SetTypeName("");
    }
}

TEST(TypeCommands, CaptionStatusAndLanguageMenuTexts) {
    struct Caption {
        const char* Name;
        const char* Display;
        const char* Expected;
    };
    const Caption captions[] = {
        {"PUMP", "/data/pump.mtp", "Type PUMP [/data/pump.mtp]"},
        {"", "untitled3", "Type  [untitled3]"},
        {"untitled1", "untitled1", "Type untitled1"},
    };
    for (const Caption& c : captions) EXPECT_EQ(TypeWindowCaption("Type", c.Name, c.Display), c.Expected);
    EXPECT_EQ(ClipboardKindText(0), "P");
    EXPECT_EQ(ClipboardKindText(3), "T");
    EXPECT_EQ(ClipboardKindText(4), "F");
    EXPECT_EQ(ClipboardKindText(-1), "");
    EXPECT_EQ(ClipboardKindText(1), "");
    EXPECT_EQ(LanguageMenuCaption(1, "Deutsch", true), "2>  Deutsch");
    EXPECT_EQ(LanguageMenuCaption(0, "English", false), "1. English");
}

TEST(TypeCommands, WhatEachStructureCommandLeavesSelected) {
    // The sample type after the change: table 0 with three fields and two
    // rows, table 1 empty, three parameters.
    uint8_t formats[100] = {};
    TTypeObjectData type(formats);
    FillSampleType(type);
    struct Case {
        C Command;
        _TypeSelection Before, After;
    };
    const Case cases[] = {
        {C::AddTable, Selected(0, -1, -1, -1, 1), Selected(3, 1, -1, -1, 1)},
        {C::InsertTable, Selected(4, 0, 2), Selected(3, 0, 2)},
        {C::DeleteTable, Selected(3, 1), Selected(3, 1)},
        {C::DeleteTable, Selected(3, 2), Selected(3, 1)},
        {C::PasteTable, Selected(3, 0, -1, 1), Selected(3, 0, -1, 1)},
        {C::AddField, Selected(3, 0), Selected(4, 0, 2)},
        {C::InsertField, Selected(3, 0, 1), Selected(4, 0, 1)},
        {C::DeleteField, Selected(4, 0, 3), Selected(4, 0, 2)},
        {C::DeleteField, Selected(4, 1, 0), Selected(3, 1, -1)},
        {C::AddRow, Selected(3, 0, 0, 0), Selected(3, 0, 0, 1)},
        {C::InsertRow, Selected(3, 0, 0, 1), Selected(3, 0, 0, 1)},
        {C::DeleteRow, Selected(3, 0, 0, 2), Selected(3, 0, 0, 1)},
        {C::DeleteRow, Selected(3, 1, -1, 0), Selected(3, 1, -1, -1)},
        {C::AddParameter, Selected(0, -1, -1, -1, 0), Selected(0, -1, -1, -1, 2)},
        {C::InsertParameter, Selected(0, -1, -1, -1, 1), Selected(0, -1, -1, -1, 1)},
        {C::DeleteParameter, Selected(0, -1, -1, -1, 3), Selected(0, -1, -1, -1, 2)},
        {C::PasteParameter, Selected(0, -1, -1, -1, 1), Selected(0, -1, -1, -1, 1)},
    };
    for (const Case& c : cases) EXPECT_EQ(SelectionAfter(c.Command, c.Before, type), c.After) << int(c.Command);

    // The only table deleted: back on the parameters; the last parameter
    // deleted: none selected.
    TTypeObjectData empty(formats);
    EXPECT_EQ(SelectionAfter(C::DeleteTable, Selected(3, 0), empty), Selected(0, -1));
    EXPECT_EQ(SelectionAfter(C::DeleteParameter, Selected(0, -1, -1, -1, 0), empty), Selected(0));
}

TEST(TypeCommands, TableNamesAreCheckedAsTheyAreStored) {
    struct Case {
        const char* Typed;
        const char* Stored;
    };
    const Case cases[] = {
        {"  Speed \t", "Speed"},
        {"\x01\x1F Speed\r\n", "Speed"},
        {"", ""},
        {" \t ", ""},
        // Cut to 16, and what the cut leaves at the end goes too.
        {"Pressure limits of pump 1", "Pressure limits"},
        {"Pressure limits of pump 2", "Pressure limits"},
        {"ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNOP"},
        // Bytes above 127 are characters, not blanks.
        {"\xA0" "Druck\xFC", "\xA0" "Druck\xFC"},
    };
    for (const Case& c : cases) EXPECT_EQ(TableNameFromInput(c.Typed), c.Stored) << c.Typed;
    EXPECT_EQ(ProposedTableName("Table", 2), "Table 3");
    EXPECT_EQ(ProposedTableName("Tabelle", 0), "Tabelle 1");
}

TEST(TypeCommands, TheCurrentLanguageStaysOnItsLanguage) {
    struct Case {
        int32_t Current, Deleted, Count, After;
    };
    const Case cases[] = {
        {2, 0, 3, 1},   // a language before it: same language, one index lower
        {1, 1, 3, 1},   // the current one: the next takes its place
        {2, 2, 2, 1},   // the last and current one: the one before
        {0, 0, 1, 0},   // the first of two
        {0, 1, 2, 0},   // one after it
    };
    for (const Case& c : cases)
        EXPECT_EQ(CurrentLanguageAfterDelete(c.Current, c.Deleted, c.Count), c.After)
            << c.Current << " " << c.Deleted << " " << c.Count;
}
