// One table of a type: fields (columns) of 1 to 4 bytes, optionally signed,
// rows, and one grid of 32-bit cells per data set, each data set named.
// Limits: 255 fields, 65535 rows, 50 data sets. Count and attribute setters
// throw TModelLimit for a value out of range; structural operations have a
// "Can" query and quietly do nothing when it is false.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "Containers.h"
#include "DisplayFormat.h"
#include "ModelLimit.h"

class THdrObj;
class CSVFile;

// One field of a table; a plain 31-byte record, stored unchanged in files.
struct _TableFieldInfo {
    static constexpr size_t NameLength = 17;
    static constexpr size_t UnitLength = 7;
    char Name[NameLength + 1] = {};
    char Unit[UnitLength + 1] = {};
    uint8_t Size = 1;
    uint8_t Flags = 0;  // bit 0: the values are signed
    uint8_t Reserved[3] = {};

    void SetName(std::string_view text);  // cut to 17 characters
    void SetUnit(std::string_view text);  // cut to 7 characters
    // "1".."4"; any other text throws TModelLimit.
    void SetSize(std::string_view text);
    std::string GetName() const;
    std::string GetUnit() const;
    std::string GetSize() const;  // "1".."4", "?" for any other size
    bool IsSigned() const { return (Flags & 1) != 0; }
};
static_assert(sizeof(_TableFieldInfo) == 31);

// The name of one data set of a table.
struct _TableDataSetName {
    static constexpr size_t NameLength = 16;
    char Name[NameLength + 1] = {};
};
static_assert(sizeof(_TableDataSetName) == 17);

std::string FieldSizeToStr(int size);
int FieldSizeToIndex(int size);
int IndexToFieldSize(int index);
uint32_t GetFieldSizeMask(int size);

class TTableData {
public:
    static constexpr size_t NameLength = 16;  // the table's name and its type's name
    static constexpr int32_t MaxFields = 255;
    static constexpr int32_t MaxRows = 65535;
    static constexpr int32_t MaxDataSets = 50;
    // Display-format slot of field 0; fields without a slot show in decimal.
    static constexpr int32_t FirstFieldSlot = 13;
    static constexpr int32_t DisplayFormatSlots = 100;

    explicit TTableData(const uint8_t* displayFormats = nullptr);
    TTableData(const TTableData& source);
    TTableData& operator=(const TTableData&) = delete;

    // Counts and attributes: throw TModelLimit out of range, changing nothing.
    void SetFieldCount(int64_t n);
    void SetRowCount(int64_t n);
    void SetDataSetCount(int64_t n);
    void SetFunction(int64_t v) { Function = CheckedByte(v); }
    void SetBlock(int64_t v) { Block = CheckedByte(v); }
    void SetCfg(int64_t v) { Cfg = CheckedByte(v); }
    void SetLevel(int64_t v) { Level = CheckedByte(v); }
    uint8_t GetFunction() const { return Function; }
    uint8_t GetBlock() const { return Block; }
    uint8_t GetCfg() const { return Cfg; }
    uint8_t GetLevel() const { return Level; }

    int32_t GetFieldCount() const { return Fields.Count(); }
    int32_t GetRowCount() const { return Cells.GetRowCount(); }
    int32_t GetDataSetCount() const { return DataSetNames.Count(); }

    bool CanAddField() const { return Fields.Count() < MaxFields; }
    _TableFieldInfo* AddField();
    bool CanInsertField(int32_t i) const { return i >= 0 && i < Fields.Count() && CanAddField(); }
    _TableFieldInfo* InsertField(int32_t i);
    bool CanDeleteField(int32_t i) const { return i >= 0 && i < Fields.Count(); }
    void DeleteField(int32_t i);
    bool CanAddRow() const { return GetRowCount() < MaxRows; }
    void AddRow();
    bool CanInsertRow(int32_t i) const { return i >= 0 && i < GetRowCount() && CanAddRow(); }
    void InsertRow(int32_t i);
    bool CanDeleteRow(int32_t i) const { return i >= 0 && i < GetRowCount(); }
    void DeleteRow(int32_t i);
    bool CanAddDataSet() const { return DataSetNames.Count() < MaxDataSets; }
    _TableDataSetName* AddDataSet();

    _TableFieldInfo* GetField(int32_t i) { return Fields.Get(i); }
    const _TableFieldInfo* GetField(int32_t i) const { return Fields.Get(i); }
    uint32_t GetRowSize() const;
    std::string GetDataSetName(int32_t d) const;
    void SetDataSetName(int32_t d, std::string_view text);
    void SetName(std::string_view text);
    void SetTypeName(std::string_view text);
    std::string GetName() const;
    std::string GetTypeName() const;
    const uint8_t* GetDisplayFormats() const { return DisplayFormats; }
    void SetDisplayFormats(const uint8_t* formats) { DisplayFormats = formats; }

    uint32_t GetValue(int32_t d, int32_t r, int32_t f) const;
    // The cell in its field's display format; cuts the stored cell to the
    // field's size first.
    std::string GetValueText(int32_t d, int32_t r, int32_t f);
    bool IsValidCell(int32_t d, int32_t r, int32_t f) const;
    void SetValue(int32_t d, int32_t r, int32_t f, uint32_t v);

    // The sections of a nested "QX218 TAB" container.
    bool SaveTo(THdrObj& container) const;
    // The whole nested container as SaveTo fills it, handed to sink in pieces
    // in file order; the cells pass through one buffer of about 1 MB, so no
    // image of the table is built. False when sink refuses a piece or a data
    // set is larger than a section can be.
    bool WriteImage(const std::function<bool(const uint8_t*, size_t)>& sink, std::string_view ident) const;
    // The size of that container in bytes.
    uint64_t ImageSize() const;
    bool LoadFrom(THdrObj& container);
    // One "\xA7Table" block of a CSV file (data set 0 only).
    bool WriteToCSV(CSVFile& file);
    // Reads the next block; true when a "\xA7Table" line was found. A cell or
    // attribute that is no number throws EConvertError, a bad size or an
    // attribute above 255 TModelLimit; the table is then as it was.
    bool ReadFromCSV(CSVFile& file);

    // The cells of one row of one data set (GetFieldCount() of them), or null.
    uint32_t* RowCells(int32_t d, int32_t r);
    const uint32_t* RowCells(int32_t d, int32_t r) const;

private:
    TVector<_TableFieldInfo> Fields;
    TCube<unsigned int> Cells;
    TVector<_TableDataSetName> DataSetNames;
    _TableFieldInfo DefaultField;
    uint32_t DefaultCell = 0;
    _TableDataSetName DefaultDataSetName;
    char Name[NameLength + 1] = {};
    char TypeName[NameLength + 1] = {};
    uint8_t Function = 0;
    uint8_t Block = 0;
    uint8_t Cfg = 0;
    uint8_t Level = 0;
    const uint8_t* DisplayFormats = nullptr;

    static uint8_t CheckedByte(int64_t v);
    void Sync();  // cell columns and planes follow fields and data-set names
    void TakeContents(const TTableData& source);
    bool ReadCSVBlock(CSVFile& file);
    // The cells of data set d, fields firstField up to endField, each field
    // all rows long, as GetValue gives them, into out.
    void LayOutFields(int32_t d, int32_t firstField, int32_t endField, uint8_t* out) const;
    // The 90-byte header section (the zero bytes of the record left as they are).
    void FillHeader(uint8_t* header) const;
};
