#include <gtest/gtest.h>

#include "Containers.h"

TEST(TVector, IndexesOutOfRangeNeverThrow) {
    TVector<int> v;
    EXPECT_EQ(v.Insert(0), nullptr);
    EXPECT_EQ(v.Get(-1), nullptr);
    *v.Add() = 1;
    *v.Add() = 2;
    EXPECT_EQ(v.Insert(2), nullptr);  // the append position is refused
    v.Delete(-1);
    v.Delete(2);
    EXPECT_EQ(v.Count(), 2);
    *v.Insert(0) = 7;
    EXPECT_EQ(*v.Get(0), 7);
    EXPECT_EQ(*v.Get(2), 2);
    v.SetCount(-3);  // a negative target changes nothing and never loops
    EXPECT_EQ(v.Count(), 3);
}

struct Rec {
    int a = 5;
    char name[4] = "x";
};

TEST(TVector, NewItemsComeFromThePrototypeAndCopiesAreDeep) {
    TVector<Rec> v;
    EXPECT_EQ(v.Add()->a, 5);  // the record's own initial value
    Rec proto;
    proto.a = 9;
    v.Prototype = &proto;
    EXPECT_EQ(v.Add()->a, 9);
    Rec* first = v.Get(0);
    for (int i = 0; i < 100; ++i) v.Add();
    EXPECT_EQ(v.Get(0), first);  // record pointers stay valid while the list grows

    TVector<Rec> copy(v);
    copy.Get(1)->a = 1;
    EXPECT_EQ(v.Get(1)->a, 9);
    ASSERT_NE(copy.Prototype, nullptr);
    EXPECT_NE(copy.Prototype, &proto);
    EXPECT_EQ(copy.Add()->a, 9);
    EXPECT_EQ(TVector<Rec>(nullptr).Count(), 0);
}

TEST(TCube, KeepsEveryPlaneInStep) {
    unsigned proto = 3;
    TCube<unsigned> c;
    c.Prototype = &proto;
    c.InsertRow(0);
    c.InsertCol(0);
    EXPECT_EQ(c.GetRowCount(), 0);
    EXPECT_EQ(c.GetColCount(), 0);
    c.SetCount(2);
    c.SetRowCount(3);
    c.SetColCount(4);
    for (int p = 0; p < 2; ++p)
        for (int r = 0; r < 3; ++r) {
            ASSERT_EQ(c.GetPlane(p)->GetRow(r)->Count(), 4);
            EXPECT_EQ(*c.Get(p, r, 3), 3u);
        }
    *c.Get(1, 2, 1) = 77;
    c.InsertCol(1);
    EXPECT_EQ(*c.Get(1, 2, 2), 77u);
    c.DeleteRow(0);
    EXPECT_EQ(*c.Get(1, 1, 2), 77u);
    c.InsertRow(c.GetRowCount());  // past the last row: refused
    EXPECT_EQ(c.GetRowCount(), 2);
    EXPECT_EQ(c.Get(0, 2, 0), nullptr);
    EXPECT_EQ(c.Get(2, 0, 0), nullptr);

    TCube<unsigned> copy(c);
    *copy.Get(1, 1, 2) = 1;
    EXPECT_EQ(*c.Get(1, 1, 2), 77u);
    copy.AddRow();
    EXPECT_EQ(*copy.Get(0, 2, 0), 3u);
}

TEST(TArray, InsertAndDeleteColumnsRepairRowsFirst) {
    TArray<int> a;
    a.SetColCount(2);
    a.SetRowCount(2);
    a.GetRow(1)->SetCount(1);  // a row out of step
    a.InsertCol(0);
    EXPECT_EQ(a.GetColCount(), 3);
    EXPECT_EQ(a.GetRow(1)->Count(), 3);
    a.DeleteCol(3);
    EXPECT_EQ(a.GetColCount(), 3);
    a.DeleteCol(0);
    EXPECT_EQ(a.GetRow(0)->Count(), 2);
    EXPECT_EQ(a.InsertRow(2), nullptr);
    EXPECT_NE(a.InsertRow(0), nullptr);
    EXPECT_EQ(a.GetRowCount(), 3);
    EXPECT_EQ(a.GetRow(0)->Count(), 2);
}

struct Unassignable {
    int a = 1;
    Unassignable() = default;
    Unassignable(const Unassignable&) = default;
    Unassignable& operator=(const Unassignable&) = delete;
};

TEST(TVector, RecordsWithoutAssignmentAreCopiedFromThePrototype) {
    Unassignable proto;
    proto.a = 4;
    TVector<Unassignable> v;
    EXPECT_EQ(v.Add()->a, 1);
    v.Prototype = &proto;
    EXPECT_EQ(v.Add()->a, 4);
    EXPECT_EQ(v.Insert(0)->a, 4);
}
