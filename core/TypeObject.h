// One type as a type window holds it: its definition, its tables and the
// display formats they share. Saved as a type file (".mtp"): a file
// container "QX218 TYPTAB" with
//   (0x4100, 0)  the nested type container "QX218 TYP"
//   (0x4200, i)  the nested table container "QX218 TAB" of table i
//   (0x4300, 0)  the 256-byte extension block; byte 0 = 1: the tables'
//                field flags are valid
// and turned into unit memory blocks and back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "QXBlock.h"
#include "TypeBlocks.h"

class TTableData;
class TTypeData6;

// The tables of a type in order; the list owns every table.
class TTableDataList {
public:
    TTableDataList();
    ~TTableDataList();
    TTableDataList(const TTableDataList&) = delete;
    TTableDataList& operator=(const TTableDataList&) = delete;

    int32_t Count() const { return static_cast<int32_t>(Items.size()); }
    TTableData* Get(int32_t i);
    const TTableData* Get(int32_t i) const;
    TTableData* Add();
    // Before an existing index only; none otherwise.
    TTableData* Insert(int32_t i);
    void Delete(int32_t i);
    void Clear();
    // Appends a table made elsewhere.
    TTableData* Append(std::unique_ptr<TTableData> table);
    // Puts a table made elsewhere in place of table i (freed); none when i
    // is no existing index, and the table given is freed then.
    TTableData* Replace(int32_t i, std::unique_ptr<TTableData> table);

private:
    std::vector<std::unique_ptr<TTableData>> Items;
};

class TTypeObjectData {
public:
    static constexpr size_t ExtensionSize = 256;
    static constexpr uint16_t SectType = 0x4100;
    static constexpr uint16_t SectTable = 0x4200;
    static constexpr uint16_t SectExtension = 0x4300;
    // Tables are numbered by the 16-bit sub-id, and the file's directory
    // holds at most 65535 sections (the type and the extension among them).
    static constexpr int32_t MaxFileTables = 65533;

    explicit TTypeObjectData(const uint8_t* displayFormats);
    ~TTypeObjectData();
    TTypeObjectData(const TTypeObjectData&) = delete;
    TTypeObjectData& operator=(const TTypeObjectData&) = delete;

    TTypeData6& GetTypeData() { return *Definition; }
    const TTypeData6& GetTypeData() const { return *Definition; }
    const uint8_t* GetDisplayFormats() const { return DisplayFormats; }
    const uint8_t* GetExtension() const { return Extension; }

    std::string GetTypeName() const;
    // The name (up to 16 characters), then every table's owner-type name.
    void SetTypeName(std::string_view text);

    int32_t GetTableCount() const { return Tables->Count(); }
    TTableData* GetTable(int32_t i) { return Tables->Get(i); }
    const TTableData* GetTable(int32_t i) const { return Tables->Get(i); }
    // A new table with this object's display formats and one data set.
    TTableData* AddTable();
    TTableData* InsertTable(int32_t i);
    void DeleteTable(int32_t i);
    // Takes a table made elsewhere (an import read into a scratch table) and
    // gives it this object's display formats.
    TTableData* AdoptTable(std::unique_ptr<TTableData> table);
    // Puts a table made elsewhere (a pasted copy) in place of table i, with
    // this object's display formats; none when i is no existing index.
    TTableData* ReplaceTable(int32_t i, std::unique_ptr<TTableData> table);
    // Exact, case-sensitive.
    bool TableExists(std::string_view name) const;

    // Writes the type file. The old file stays as it was until the new one
    // is complete; a failed save leaves it untouched.
    bool SaveToFile(const std::string& fileName);
    // Reads a type file. On failure this object is unchanged.
    bool LoadFromFile(const std::string& fileName);

    // Appends the blocks of the type (languages a and b) and its tables. A
    // type or table that the images cannot carry is refused before any block
    // is built: false, the list unchanged and the context's refusal set.
    // False with no refusal: the model version has no block format.
    bool SaveToBlocks(TQXBlockMemList& list, _BlockContext& context, int32_t a, int32_t b);
    // Builds the type and its tables from blocks read from the unit; the
    // Table Text blocks used are removed from the list.
    bool LoadFromBlocks(TQXBlockMemList& list, _BlockContext& context, bool reset);
    // True when the data blocks of the type and of every table are in the
    // list; with apply, and only then, their values go into data set 0 of
    // each.
    bool LoadDataSetFromBlocks(const TQXBlockMemList& list, const _BlockContext& context, bool apply);

    // Exchanges the contents (definition, tables, extension) of two objects.
    void Swap(TTypeObjectData& other);

private:
    std::unique_ptr<TTypeData6> Definition;
    std::unique_ptr<TTableDataList> Tables;
    const uint8_t* DisplayFormats;
    uint8_t Extension[ExtensionSize] = {};

    // The nested container of the definition.
    bool TypeImage(std::vector<uint8_t>& out) const;
};
