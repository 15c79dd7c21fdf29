#include <gtest/gtest.h>

#include <cstring>

#include "CopyPaste.h"

TEST(CopyPaste, HoldsAnIndependentCopyOfATable) {
    TCopyPaste store;
    EXPECT_EQ(store.GetKind(), -1);
    EXPECT_FALSE(store.Clear());
    TTableData table;
    table.SetFieldCount(1);
    table.SetRowCount(1);
    table.SetDataSetCount(1);
    table.SetValue(0, 0, 0, 7);
    table.SetName("T");
    ASSERT_TRUE(store.Copy(&table, TCopyPaste::KindTable));
    table.SetValue(0, 0, 0, 8);
    table.SetName("changed");
    ASSERT_NE(store.GetTable(), nullptr);
    EXPECT_EQ(store.GetTable()->GetValue(0, 0, 0), 7u);
    EXPECT_EQ(store.GetTable()->GetName(), "T");
    EXPECT_EQ(store.GetItem(), store.GetTable());
    EXPECT_FALSE(store.CopyParamFormat(nullptr));
    EXPECT_TRUE(store.Clear());
    EXPECT_EQ(store.GetTable(), nullptr);
    EXPECT_FALSE(store.Copy(nullptr, TCopyPaste::KindTable));
}

TEST(CopyPaste, AParameterWithItsFormatThenAField) {
    TCopyPaste store;
    _ParamName name;
    std::strcpy(name.Text, "P1 Speed");
    _ParamFormatItem format;
    format.SetUnits("rpm");
    format.Max = 99;
    ASSERT_TRUE(store.Copy(&name, TCopyPaste::KindParameter));
    ASSERT_TRUE(store.CopyParamFormat(&format));
    _ParamFormatItem other;
    EXPECT_FALSE(store.CopyParamFormat(&other));  // keeps the first
    ASSERT_NE(store.GetFormat(), nullptr);
    EXPECT_EQ(store.GetFormat()->Max, 99);
    EXPECT_STREQ(store.GetParamName()->Text, "P1 Speed");
    _TableFieldInfo field;
    field.SetName("f");
    ASSERT_TRUE(store.Copy(&field, TCopyPaste::KindField));
    EXPECT_EQ(store.GetKind(), 4);
    EXPECT_EQ(store.GetParamName(), nullptr);
    EXPECT_EQ(store.GetFormat(), nullptr);
    EXPECT_EQ(store.GetField()->GetName(), "f");
}

TEST(CopyPaste, NoStaleFormatRecord) {
    TCopyPaste store;
    _ParamFormatItem stale;
    stale.Max = 1;
    EXPECT_FALSE(store.CopyParamFormat(&stale));  // no parameter held
    _ParamName name;
    ASSERT_TRUE(store.Copy(&name, TCopyPaste::KindParameter));
    EXPECT_EQ(store.GetFormat(), nullptr);
    _ParamFormatItem fresh;
    fresh.Max = 2;
    ASSERT_TRUE(store.CopyParamFormat(&fresh));
    // A second parameter copied without a format holds none of the first one's.
    ASSERT_TRUE(store.Copy(&name, TCopyPaste::KindParameter));
    EXPECT_EQ(store.GetFormat(), nullptr);
}

TEST(CopyPaste, OtherKinds) {
    TCopyPaste store;
    _ParamName name;
    ASSERT_TRUE(store.Copy(&name, TCopyPaste::KindParameter));
    EXPECT_TRUE(store.Copy(&name, 1));  // holds nothing, succeeds
    EXPECT_EQ(store.GetKind(), -1);
    ASSERT_TRUE(store.Copy(&name, TCopyPaste::KindParameter));
    EXPECT_FALSE(store.Copy(&name, 7));  // empties the store
    EXPECT_EQ(store.GetKind(), -1);
    EXPECT_EQ(store.GetItem(), nullptr);
}
