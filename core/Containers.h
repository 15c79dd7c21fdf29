// Owning list, grid and stack-of-grids templates of the data models.
//
// An index out of range never throws: reads give null, deletions are ignored,
// insertions are refused. Limits (255 fields, 50 data sets, ...) belong to the
// models above. Numbers are kept in one contiguous block per vector, records
// as separate heap objects so that a record pointer stays valid while the
// list around it changes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

template <typename T>
class TVector {
    static constexpr bool Flat = std::is_arithmetic_v<T>;
    using Slot = std::conditional_t<Flat, T, std::unique_ptr<T>>;

public:
    // Item that every new item is copied from; not owned (except by copies).
    T* Prototype = nullptr;

    TVector() = default;
    explicit TVector(const TVector* source) {
        if (source) CopyFrom(*source);
    }
    TVector(const TVector& source) { CopyFrom(source); }
    TVector& operator=(const TVector& source) {
        if (this != &source) {
            Clear();
            Prototype = nullptr;
            OwnedPrototype.reset();
            CopyFrom(source);
        }
        return *this;
    }
    ~TVector() = default;

    int32_t Count() const { return static_cast<int32_t>(List.size()); }

    T* Get(int32_t index) {
        if (index < 0 || index >= Count()) return nullptr;
        return ItemAt(static_cast<size_t>(index));
    }
    const T* Get(int32_t index) const { return const_cast<TVector*>(this)->Get(index); }

    T* Add() {
        List.push_back(NewSlot());
        return ItemAt(List.size() - 1);
    }

    // Inserts before an existing item; the append position is refused.
    T* Insert(int32_t index) {
        if (index < 0 || index >= Count()) return nullptr;
        auto at = List.insert(List.begin() + index, NewSlot());
        return ItemAt(static_cast<size_t>(at - List.begin()));
    }

    void Delete(int32_t index) {
        if (index < 0 || index >= Count()) return;
        List.erase(List.begin() + index);
    }

    // Grows or shrinks at the end; a negative target is a caller error and
    // changes nothing.
    void SetCount(int32_t n) {
        if (n < 0) return;
        const auto target = static_cast<size_t>(n);
        if constexpr (Flat) {
            List.resize(target, NewValue());
        } else {
            if (target < List.size()) List.resize(target);
            List.reserve(target);
            while (List.size() < target) List.push_back(NewSlot());
        }
    }

    void Clear() { List.clear(); }

    // The items of a vector of numbers, contiguous (Count() of them).
    T* Data() requires Flat { return List.data(); }
    const T* Data() const requires Flat { return List.data(); }

private:
    std::vector<Slot> List;
    std::unique_ptr<T> OwnedPrototype;

    T NewValue() const {
        T value{};
        if (Prototype) value = *Prototype;
        return value;
    }
    Slot NewSlot() const {
        if constexpr (Flat) {
            return NewValue();
        } else {
            // A new item is the prototype's copy (records without assignment
            // have a copy constructor).
            return Prototype ? std::make_unique<T>(*Prototype) : std::make_unique<T>();
        }
    }
    T* ItemAt(size_t i) {
        if constexpr (Flat) {
            return &List[i];
        } else {
            return List[i].get();
        }
    }
    void CopyFrom(const TVector& source) {
        if (source.Prototype) {
            OwnedPrototype = std::make_unique<T>(*source.Prototype);
            Prototype = OwnedPrototype.get();
        }
        if constexpr (Flat) {
            List = source.List;
        } else {
            List.reserve(source.List.size());
            for (const auto& item : source.List) List.push_back(std::make_unique<T>(*item));
        }
    }
};

template <typename T>
class TArray {
public:
    // Handed to every new row as that row's prototype; not owned (except by copies).
    T* Prototype = nullptr;

    TArray() = default;
    explicit TArray(const TArray* source) {
        if (source) CopyFrom(*source);
    }
    TArray(const TArray& source) { CopyFrom(source); }
    TArray& operator=(const TArray& source) {
        if (this != &source) {
            Clear();
            ColCount = 0;
            Prototype = nullptr;
            OwnedPrototype.reset();
            CopyFrom(source);
        }
        return *this;
    }

    int32_t GetRowCount() const { return static_cast<int32_t>(Rows.size()); }
    int32_t GetColCount() const { return ColCount; }

    TVector<T>* GetRow(int32_t row) {
        if (row < 0 || row >= GetRowCount()) return nullptr;
        return Rows[static_cast<size_t>(row)].get();
    }
    const TVector<T>* GetRow(int32_t row) const { return const_cast<TArray*>(this)->GetRow(row); }

    T* Get(int32_t row, int32_t col) {
        TVector<T>* r = GetRow(row);
        return r ? r->Get(col) : nullptr;
    }
    const T* Get(int32_t row, int32_t col) const { return const_cast<TArray*>(this)->Get(row, col); }

    void SetRowCount(int32_t n) {
        if (n < 0) return;
        const auto target = static_cast<size_t>(n);
        if (target < Rows.size()) Rows.resize(target);
        // Rows added one at a time (one per line of a CSV block) must not
        // move every row each time: the room grows at least twofold.
        if (target > Rows.capacity()) Rows.reserve(std::max(target, 2 * Rows.capacity()));
        while (Rows.size() < target) Rows.push_back(NewRow());
    }

    TVector<T>* AddRow() {
        Rows.push_back(NewRow());
        return Rows.back().get();
    }

    TVector<T>* InsertRow(int32_t row) {
        if (row < 0 || row >= GetRowCount()) return nullptr;
        auto at = Rows.insert(Rows.begin() + row, NewRow());
        return at->get();
    }

    void DeleteRow(int32_t row) {
        if (row < 0 || row >= GetRowCount()) return;
        Rows.erase(Rows.begin() + row);
    }

    void SetColCount(int32_t n) {
        if (n < 0) return;
        ColCount = n;
        for (auto& r : Rows) r->SetCount(n);
    }

    void InsertCol(int32_t col) {
        if (col < 0 || col >= ColCount) return;
        for (auto& r : Rows) {
            r->SetCount(ColCount);
            r->Insert(col);
        }
        ++ColCount;
    }

    void DeleteCol(int32_t col) {
        if (col < 0 || col >= ColCount) return;
        for (auto& r : Rows) {
            r->SetCount(ColCount);
            r->Delete(col);
        }
        --ColCount;
    }

    void Clear() { Rows.clear(); }

private:
    int32_t ColCount = 0;
    std::vector<std::unique_ptr<TVector<T>>> Rows;
    std::unique_ptr<T> OwnedPrototype;

    std::unique_ptr<TVector<T>> NewRow() const {
        auto row = std::make_unique<TVector<T>>();
        row->Prototype = Prototype;
        row->SetCount(ColCount);
        return row;
    }
    void CopyFrom(const TArray& source) {
        if (source.Prototype) {
            OwnedPrototype = std::make_unique<T>(*source.Prototype);
            Prototype = OwnedPrototype.get();
        }
        ColCount = source.ColCount;
        Rows.reserve(source.Rows.size());
        for (const auto& r : source.Rows) {
            auto row = std::make_unique<TVector<T>>(*r);
            row->Prototype = Prototype;
            row->SetCount(ColCount);
            Rows.push_back(std::move(row));
        }
    }
};

template <typename T>
class TCube {
public:
    // Handed to every new plane (and from there to its rows); not owned (except by copies).
    T* Prototype = nullptr;

    TCube() = default;
    explicit TCube(const TCube* source) {
        if (source) CopyFrom(*source);
    }
    TCube(const TCube& source) { CopyFrom(source); }
    TCube& operator=(const TCube& source) {
        if (this != &source) {
            Clear();
            RowCount = ColCount = 0;
            Prototype = nullptr;
            OwnedPrototype.reset();
            CopyFrom(source);
        }
        return *this;
    }

    int32_t Count() const { return static_cast<int32_t>(Planes.size()); }
    int32_t GetRowCount() const { return RowCount; }
    int32_t GetColCount() const { return ColCount; }

    TArray<T>* GetPlane(int32_t index) {
        if (index < 0 || index >= Count()) return nullptr;
        return Planes[static_cast<size_t>(index)].get();
    }
    const TArray<T>* GetPlane(int32_t index) const { return const_cast<TCube*>(this)->GetPlane(index); }

    T* Get(int32_t plane, int32_t row, int32_t col) {
        TArray<T>* p = GetPlane(plane);
        return p ? p->Get(row, col) : nullptr;
    }
    const T* Get(int32_t plane, int32_t row, int32_t col) const {
        return const_cast<TCube*>(this)->Get(plane, row, col);
    }

    TArray<T>* Add() {
        Planes.push_back(NewPlane());
        return Planes.back().get();
    }

    void Delete(int32_t index) {
        if (index < 0 || index >= Count()) return;
        Planes.erase(Planes.begin() + index);
    }

    void SetCount(int32_t n) {
        if (n < 0) return;
        const auto target = static_cast<size_t>(n);
        if (target < Planes.size()) Planes.resize(target);
        Planes.reserve(target);
        while (Planes.size() < target) Planes.push_back(NewPlane());
    }

    void SetRowCount(int32_t n) {
        if (n < 0) return;
        RowCount = n;
        for (auto& p : Planes) p->SetRowCount(n);
    }

    void AddRow() { SetRowCount(RowCount + 1); }

    void InsertRow(int32_t row) {
        if (row < 0 || row >= RowCount) return;
        for (auto& p : Planes) {
            p->SetRowCount(RowCount);
            p->InsertRow(row);
        }
        ++RowCount;
    }

    void DeleteRow(int32_t row) {
        if (row < 0 || row >= RowCount) return;
        for (auto& p : Planes) {
            p->SetRowCount(RowCount);
            p->DeleteRow(row);
        }
        --RowCount;
    }

    void SetColCount(int32_t n) {
        if (n < 0) return;
        ColCount = n;
        for (auto& p : Planes) p->SetColCount(n);
    }

    void AddCol() { SetColCount(ColCount + 1); }

    void InsertCol(int32_t col) {
        if (col < 0 || col >= ColCount) return;
        for (auto& p : Planes) {
            p->SetColCount(ColCount);
            p->InsertCol(col);
        }
        ++ColCount;
    }

    void DeleteCol(int32_t col) {
        if (col < 0 || col >= ColCount) return;
        for (auto& p : Planes) {
            p->SetColCount(ColCount);
            p->DeleteCol(col);
        }
        --ColCount;
    }

    void Clear() { Planes.clear(); }

private:
    int32_t RowCount = 0;
    int32_t ColCount = 0;
    std::vector<std::unique_ptr<TArray<T>>> Planes;
    std::unique_ptr<T> OwnedPrototype;

    std::unique_ptr<TArray<T>> NewPlane() const {
        auto plane = std::make_unique<TArray<T>>();
        plane->Prototype = Prototype;
        plane->SetColCount(ColCount);
        plane->SetRowCount(RowCount);
        return plane;
    }
    void CopyFrom(const TCube& source) {
        if (source.Prototype) {
            OwnedPrototype = std::make_unique<T>(*source.Prototype);
            Prototype = OwnedPrototype.get();
        }
        RowCount = source.RowCount;
        ColCount = source.ColCount;
        Planes.reserve(source.Planes.size());
        for (const auto& p : source.Planes) {
            auto plane = std::make_unique<TArray<T>>(*p);
            plane->Prototype = Prototype;
            plane->SetColCount(ColCount);
            plane->SetRowCount(RowCount);
            Planes.push_back(std::move(plane));
        }
    }
};
