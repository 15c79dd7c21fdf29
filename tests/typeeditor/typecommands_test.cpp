// When the type window offers its commands (the expert gate among them),
// and the texts of its caption, status bar and language menu.
#include <gtest/gtest.h>

#include "TypeCommands.h"
#include "TypeSamples.h"

namespace {

using C = TTypeCommand;

_TypeSelection Sel(uint8_t kind, int32_t table = -1, int32_t field = -1, int32_t row = -1, int32_t param = -1,
                   int32_t language = -1) {
    _TypeSelection s;
    s.Kind = kind;
    s.Table = table;
    s.Field = field;
    s.Row = row;
    s.Parameter = param;
    s.Language = language;
    return s;
}

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
        {C::AddTable, Sel(0), -1, true},
        {C::InsertTable, Sel(3, 0), -1, true},
        {C::InsertTable, Sel(3, -1), -1, false},
        {C::DeleteTable, Sel(4, 1, 0), -1, true},
        {C::CopyTable, Sel(0), -1, false},
        {C::PasteTable, Sel(3, 0), 3, true},
        {C::PasteTable, Sel(3, 0), 4, false},
        {C::PasteTable, Sel(4, 0, 1), 3, false},
        {C::AddField, Sel(3, 0), -1, true},
        {C::InsertField, Sel(3, 0, -1), -1, false},
        {C::InsertField, Sel(4, 0, 1), -1, true},
        {C::DeleteField, Sel(3, 0, 2), -1, true},
        {C::CopyField, Sel(3, 0, 2), -1, false},
        {C::CopyField, Sel(4, 0, 2), -1, true},
        {C::PasteField, Sel(4, 0, 2), 4, true},
        {C::PasteField, Sel(4, 0, 2), 0, false},
        {C::AddRow, Sel(4, 0, 1), -1, true},
        {C::InsertRow, Sel(3, 0, -1, 1), -1, true},
        {C::InsertRow, Sel(4, 0, 1, 1), -1, false},
        {C::DeleteRow, Sel(3, 0, -1, -1), -1, false},
        {C::AddParameter, Sel(0), -1, true},
        {C::AddParameter, Sel(1), -1, false},
        {C::InsertParameter, Sel(0, -1, -1, -1, 2), -1, true},
        {C::DeleteParameter, Sel(0), -1, false},
        {C::CopyParameter, Sel(0, -1, -1, -1, 0), -1, true},
        {C::PasteParameter, Sel(0, -1, -1, -1, 0), 0, true},
        {C::PasteParameter, Sel(0, -1, -1, -1, 0), 3, false},
        {C::AddLanguage, Sel(1), -1, true},
        {C::InsertLanguage, Sel(2, -1, -1, -1, -1, 1), -1, true},
        {C::InsertLanguage, Sel(2, -1, -1, -1, -1, 2), -1, false},
        {C::DeleteLanguage, Sel(2, -1, -1, -1, -1, 0), -1, true},
        {C::RenameLanguage, Sel(2, -1, -1, -1, -1, 1), -1, true},
        {C::RenameLanguage, Sel(0), -1, false},
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
    TTypeCommandState state{Sel(2, -1, -1, -1, -1, 0), true, -1, &type, -1};
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
        {C::AddTable, Sel(0, -1, -1, -1, 1), Sel(3, 1, -1, -1, 1)},
        {C::InsertTable, Sel(4, 0, 2), Sel(3, 0, 2)},
        {C::DeleteTable, Sel(3, 1), Sel(3, 1)},
        {C::DeleteTable, Sel(3, 2), Sel(3, 1)},
        {C::PasteTable, Sel(3, 0, -1, 1), Sel(3, 0, -1, 1)},
        {C::AddField, Sel(3, 0), Sel(4, 0, 2)},
        {C::InsertField, Sel(3, 0, 1), Sel(4, 0, 1)},
        {C::DeleteField, Sel(4, 0, 3), Sel(4, 0, 2)},
        {C::DeleteField, Sel(4, 1, 0), Sel(3, 1, -1)},
        {C::AddRow, Sel(3, 0, 0, 0), Sel(3, 0, 0, 1)},
        {C::InsertRow, Sel(3, 0, 0, 1), Sel(3, 0, 0, 1)},
        {C::DeleteRow, Sel(3, 0, 0, 2), Sel(3, 0, 0, 1)},
        {C::DeleteRow, Sel(3, 1, -1, 0), Sel(3, 1, -1, -1)},
        {C::AddParameter, Sel(0, -1, -1, -1, 0), Sel(0, -1, -1, -1, 2)},
        {C::InsertParameter, Sel(0, -1, -1, -1, 1), Sel(0, -1, -1, -1, 1)},
        {C::DeleteParameter, Sel(0, -1, -1, -1, 3), Sel(0, -1, -1, -1, 2)},
        {C::PasteParameter, Sel(0, -1, -1, -1, 1), Sel(0, -1, -1, -1, 1)},
    };
    for (const Case& c : cases) EXPECT_EQ(SelectionAfter(c.Command, c.Before, type), c.After) << int(c.Command);

    // The only table deleted: back on the parameters; the last parameter
    // deleted: none selected.
    TTypeObjectData empty(formats);
    EXPECT_EQ(SelectionAfter(C::DeleteTable, Sel(3, 0), empty), Sel(0, -1));
    EXPECT_EQ(SelectionAfter(C::DeleteParameter, Sel(0, -1, -1, -1, 0), empty), Sel(0));
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
