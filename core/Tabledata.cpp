#include "Tabledata.h"

#include <charconv>
#include <cstring>
#include <vector>

#include "CSVFile.h"
#include "TextHelpers.h"
#include "Thdrobj.h"

namespace {

constexpr uint16_t SectHeader = 0x2100;
constexpr uint16_t SectField = 0x2200;
constexpr uint16_t SectDataSet = 0x2300;
constexpr uint32_t HeaderSize = 90;
constexpr uint32_t DataSetNameSize = 68;


// The cell as GetValue gives it: cut to the field's size, signed 1- and
// 2-byte values sign-extended; 0 for a field size outside 1..4.
uint32_t CutValue(uint8_t size, bool isSigned, uint32_t v) {
    switch (size) {
        case 1: return isSigned ? static_cast<uint32_t>(static_cast<int8_t>(v & 0xFF)) : v & 0xFF;
        case 2: return isSigned ? static_cast<uint32_t>(static_cast<int16_t>(v & 0xFFFF)) : v & 0xFFFF;
        case 3: return v & 0xFFFFFF;
        case 4: return v;
        default: return 0;
    }
}

template <typename T>
std::string Decimal(T v) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
    return std::string(digits, end);
}

std::string HexText(uint32_t v, int digits) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out = "0x";
    for (int i = digits - 1; i >= 0; --i) out += hex[(v >> (4 * i)) & 0xF];
    return out;
}

// A cell text: the binary text this program writes (1 to 32 binary digits
// followed by "b"), otherwise the one integer-text reader.
uint32_t CellTextToBits(const char* text) {
    const std::string_view t(text);
    if (t.size() >= 2 && t.size() <= 33 && t.back() == 'b') {
        uint32_t v = 0;
        bool binary = true;
        for (size_t i = 0; i + 1 < t.size() && binary; ++i) {
            binary = t[i] == '0' || t[i] == '1';
            v = (v << 1) | static_cast<uint32_t>(t[i] == '1');
        }
        if (binary) return v;
    }
    return static_cast<uint32_t>(static_cast<uint64_t>(CSVFieldToInt(text)));
}

}  // namespace

// ---------------------------------------------------------------- fields

void _TableFieldInfo::SetName(std::string_view text) { SetFixedText(Name, sizeof Name, text); }
void _TableFieldInfo::SetUnit(std::string_view text) { SetFixedText(Unit, sizeof Unit, text); }
void _TableFieldInfo::SetSize(std::string_view text) {
    if (text.size() != 1 || text[0] < '1' || text[0] > '4') throw TModelLimit();
    Size = static_cast<uint8_t>(text[0] - '0');
}
std::string _TableFieldInfo::GetName() const { return FixedText(Name, sizeof Name); }
std::string _TableFieldInfo::GetUnit() const { return FixedText(Unit, sizeof Unit); }
std::string _TableFieldInfo::GetSize() const { return FieldSizeToStr(Size); }

std::string FieldSizeToStr(int size) { return size >= 1 && size <= 4 ? std::string(1, static_cast<char>('0' + size)) : "?"; }
int FieldSizeToIndex(int size) { return size >= 2 && size <= 4 ? size - 1 : 0; }
int IndexToFieldSize(int index) { return index >= 1 && index <= 3 ? index + 1 : 1; }
uint32_t GetFieldSizeMask(int size) {
    switch (size) {
        case 1: return 0xFF;
        case 2: return 0xFFFF;
        case 3: return 0xFFFFFF;
        case 4: return 0xFFFFFFFF;
        default: return 0;
    }
}

// ---------------------------------------------------------------- table

TTableData::TTableData(const uint8_t* displayFormats) : DisplayFormats(displayFormats) {
    SetFixedText(DefaultDataSetName.Name, sizeof DefaultDataSetName.Name, "Data Set");
    Fields.Prototype = &DefaultField;
    Cells.Prototype = &DefaultCell;
    DataSetNames.Prototype = &DefaultDataSetName;
}

TTableData::TTableData(const TTableData& source)
    : Fields(source.Fields),
      Cells(source.Cells),
      DataSetNames(source.DataSetNames),
      DefaultField(source.DefaultField),
      DefaultCell(source.DefaultCell),
      DefaultDataSetName(source.DefaultDataSetName),
      Function(source.Function),
      Block(source.Block),
      Cfg(source.Cfg),
      Level(source.Level),
      DisplayFormats(source.DisplayFormats) {
    std::memcpy(Name, source.Name, sizeof Name);
    std::memcpy(TypeName, source.TypeName, sizeof TypeName);
    Fields.Prototype = &DefaultField;
    Cells.Prototype = &DefaultCell;
    DataSetNames.Prototype = &DefaultDataSetName;
}

void TTableData::TakeContents(const TTableData& source) {
    Fields = source.Fields;
    Cells = source.Cells;
    DataSetNames = source.DataSetNames;
    Fields.Prototype = &DefaultField;
    Cells.Prototype = &DefaultCell;
    DataSetNames.Prototype = &DefaultDataSetName;
    std::memcpy(Name, source.Name, sizeof Name);
    std::memcpy(TypeName, source.TypeName, sizeof TypeName);
    Function = source.Function;
    Block = source.Block;
    Cfg = source.Cfg;
    Level = source.Level;
}

uint8_t TTableData::CheckedByte(int64_t v) {
    if (v < 0 || v > 255) throw TModelLimit();
    return static_cast<uint8_t>(v);
}

void TTableData::Sync() {
    if (Cells.GetColCount() != Fields.Count()) Cells.SetColCount(Fields.Count());
    if (Cells.Count() != DataSetNames.Count()) Cells.SetCount(DataSetNames.Count());
}

void TTableData::SetFieldCount(int64_t n) {
    if (n < 0 || n > MaxFields) throw TModelLimit();
    Sync();
    Fields.SetCount(static_cast<int32_t>(n));
    Cells.SetColCount(static_cast<int32_t>(n));
}

void TTableData::SetRowCount(int64_t n) {
    if (n < 0 || n > MaxRows) throw TModelLimit();
    Cells.SetRowCount(static_cast<int32_t>(n));
}

void TTableData::SetDataSetCount(int64_t n) {
    if (n < 0 || n > MaxDataSets) throw TModelLimit();
    Sync();
    DataSetNames.SetCount(static_cast<int32_t>(n));
    Cells.SetCount(static_cast<int32_t>(n));
}

_TableFieldInfo* TTableData::AddField() {
    if (!CanAddField()) return nullptr;
    Sync();
    _TableFieldInfo* field = Fields.Add();
    Cells.AddCol();
    return field;
}

_TableFieldInfo* TTableData::InsertField(int32_t i) {
    if (!CanInsertField(i)) return nullptr;
    Sync();
    _TableFieldInfo* field = Fields.Insert(i);
    Cells.InsertCol(i);
    return field;
}

void TTableData::DeleteField(int32_t i) {
    if (!CanDeleteField(i)) return;
    Sync();
    Fields.Delete(i);
    Cells.DeleteCol(i);
}

void TTableData::AddRow() {
    if (CanAddRow()) Cells.AddRow();
}

void TTableData::InsertRow(int32_t i) {
    if (CanInsertRow(i)) Cells.InsertRow(i);
}

void TTableData::DeleteRow(int32_t i) {
    if (CanDeleteRow(i)) Cells.DeleteRow(i);
}

_TableDataSetName* TTableData::AddDataSet() {
    if (!CanAddDataSet()) return nullptr;
    Sync();
    _TableDataSetName* name = DataSetNames.Add();
    Cells.Add();
    return name;
}

uint32_t TTableData::GetRowSize() const {
    uint32_t size = 0;
    for (int32_t f = 0; f < Fields.Count(); ++f) size += Fields.Get(f)->Size;
    return size;
}

std::string TTableData::GetDataSetName(int32_t d) const {
    const _TableDataSetName* name = DataSetNames.Get(d);
    return name ? FixedText(name->Name, sizeof name->Name) : std::string();
}

void TTableData::SetDataSetName(int32_t d, std::string_view text) {
    if (_TableDataSetName* name = DataSetNames.Get(d)) SetFixedText(name->Name, sizeof name->Name, text);
}

void TTableData::SetName(std::string_view text) { SetFixedText(Name, sizeof Name, text); }
void TTableData::SetTypeName(std::string_view text) { SetFixedText(TypeName, sizeof TypeName, text); }
std::string TTableData::GetName() const { return FixedText(Name, sizeof Name); }
std::string TTableData::GetTypeName() const { return FixedText(TypeName, sizeof TypeName); }

uint32_t* TTableData::RowCells(int32_t d, int32_t r) {
    TArray<unsigned int>* plane = Cells.GetPlane(d);
    TVector<unsigned int>* row = plane ? plane->GetRow(r) : nullptr;
    return row ? row->Data() : nullptr;
}

const uint32_t* TTableData::RowCells(int32_t d, int32_t r) const {
    return const_cast<TTableData*>(this)->RowCells(d, r);
}

uint32_t TTableData::GetValue(int32_t d, int32_t r, int32_t f) const {
    const _TableFieldInfo* field = Fields.Get(f);
    const unsigned int* cell = Cells.Get(d, r, f);
    if (!field || !cell) return 0;
    return CutValue(field->Size, field->IsSigned(), *cell);
}

bool TTableData::IsValidCell(int32_t d, int32_t r, int32_t f) const {
    const _TableFieldInfo* field = Fields.Get(f);
    return field && Cells.Get(d, r, f) && field->Size >= 1 && field->Size <= 4;
}

void TTableData::SetValue(int32_t d, int32_t r, int32_t f, uint32_t v) {
    const _TableFieldInfo* field = Fields.Get(f);
    unsigned int* cell = Cells.Get(d, r, f);
    if (field && cell && field->Size >= 1 && field->Size <= 4) *cell = v;
}

std::string TTableData::GetValueText(int32_t d, int32_t r, int32_t f) {
    unsigned int* cell = Cells.Get(d, r, f);
    const _TableFieldInfo* field = Fields.Get(f);
    if (!cell || !field || field->Size < 1 || field->Size > 4) return "?";
    const int size = field->Size;
    *cell &= GetFieldSizeMask(size);
    const uint32_t v = *cell;
    const int32_t slot = FirstFieldSlot + f;
    const TDisplayFormat format = DisplayFormatOf(DisplayFormats && slot < DisplayFormatSlots ? DisplayFormats[slot] : 0);
    if (format == TDisplayFormat::Hexadecimal) return HexText(v, 2 * size);
    if (format == TDisplayFormat::Binary) return IntToBin(v, size);
    if (field->IsSigned()) {
        if (size == 1) return Decimal(static_cast<int>(static_cast<int8_t>(v)));
        if (size == 2) return Decimal(static_cast<int>(static_cast<int16_t>(v)));
        if (size == 4) return Decimal(static_cast<int32_t>(v));
    }
    return Decimal(v);
}

// ---------------------------------------------------------------- sections

void TTableData::FillHeader(uint8_t* header) const {
    std::memcpy(header, Name, sizeof Name);
    std::memcpy(header + 17, TypeName, sizeof TypeName);
    LePut32(header + 34, static_cast<uint32_t>(Fields.Count()));
    LePut32(header + 38, static_cast<uint32_t>(Cells.GetRowCount()));
    LePut32(header + 42, Function);
    LePut32(header + 46, Block);
    LePut32(header + 50, Cfg);
    LePut32(header + 54, Level);
}

bool TTableData::SaveTo(THdrObj& container) const {
    const int32_t fields = Fields.Count();
    const int32_t rows = Cells.GetRowCount();
    uint8_t header[HeaderSize] = {};
    FillHeader(header);
    if (!container.WriteSection(SectHeader, 0, HeaderSize, header)) return false;
    for (int32_t f = 0; f < fields; ++f)
        if (!container.WriteSection(SectField, static_cast<uint16_t>(f), sizeof(_TableFieldInfo), Fields.Get(f)))
            return false;

    // Data sets: the name, then the cells field by field (all rows of field 0,
    // then all rows of field 1, ...), as GetValue gives them.
    const size_t cellCount = static_cast<size_t>(fields) * static_cast<size_t>(rows);
    for (int32_t d = 0; d < DataSetNames.Count(); ++d) {
        std::vector<uint8_t> image(DataSetNameSize + 4 * cellCount);
        std::memcpy(image.data(), DataSetNames.Get(d)->Name, sizeof(_TableDataSetName));
        LayOutFields(d, 0, fields, image.data() + DataSetNameSize);
        if (!container.WriteSectionBuffer(SectDataSet, static_cast<uint16_t>(d), std::move(image))) return false;
    }
    return true;
}

void TTableData::LayOutFields(int32_t d, int32_t firstField, int32_t endField, uint8_t* out) const {
    const int32_t rows = Cells.GetRowCount();
    const TArray<unsigned int>* plane = Cells.GetPlane(d);
    const int32_t cols = plane ? plane->GetColCount() : 0;
    const size_t column = 4 * static_cast<size_t>(rows);
    // Fields the cells do not reach are zero.
    for (int32_t f = std::max(firstField, std::min(cols, endField)); f < endField; ++f)
        std::memset(out + column * static_cast<size_t>(f - firstField), 0, column);
    constexpr int32_t RowBlock = 256;  // rows at a time, so that they stay in cache
    const uint32_t* rowCells[RowBlock];
    for (int32_t first = 0; first < rows; first += RowBlock) {
        const int32_t last = std::min(rows, first + RowBlock);
        for (int32_t r = first; r < last; ++r) rowCells[r - first] = RowCells(d, r);
        for (int32_t f = firstField; f < std::min(endField, cols); ++f) {
            const _TableFieldInfo* field = Fields.Get(f);
            uint8_t* at = out + column * static_cast<size_t>(f - firstField);
            const auto lay = [&](auto cut) {
                for (int32_t r = first; r < last; ++r) {
                    const uint32_t* row = rowCells[r - first];
                    LePut32(at + 4 * static_cast<size_t>(r), row ? cut(row[f]) : 0);
                }
            };
            // One loop per kind of field, so that the cut is not decided per cell.
            switch (field->IsSigned() ? -field->Size : field->Size) {
                case -1: lay([](uint32_t v) { return static_cast<uint32_t>(static_cast<int8_t>(v & 0xFF)); }); break;
                case -2: lay([](uint32_t v) { return static_cast<uint32_t>(static_cast<int16_t>(v & 0xFFFF)); }); break;
                case 1: lay([](uint32_t v) { return v & 0xFFu; }); break;
                case 2: lay([](uint32_t v) { return v & 0xFFFFu; }); break;
                case 3: case -3: lay([](uint32_t v) { return v & 0xFFFFFFu; }); break;
                case 4: case -4: lay([](uint32_t v) { return v; }); break;
                default: lay([](uint32_t) { return 0u; }); break;
            }
        }
    }
}

uint64_t TTableData::ImageSize() const {
    const uint64_t fields = static_cast<uint64_t>(Fields.Count());
    const uint64_t sets = static_cast<uint64_t>(DataSetNames.Count());
    const uint64_t cells = fields * static_cast<uint64_t>(Cells.GetRowCount());
    return 16 + 8 * (1 + fields + sets) + HeaderSize + fields * sizeof(_TableFieldInfo) +
           sets * (DataSetNameSize + 4 * cells);
}

bool TTableData::WriteImage(const std::function<bool(const uint8_t*, size_t)>& sink, std::string_view ident) const {
    const int32_t fields = Fields.Count();
    const int32_t rows = Cells.GetRowCount();
    const uint64_t setSize = DataSetNameSize + 4 * static_cast<uint64_t>(fields) * static_cast<uint64_t>(rows);
    if (setSize > UINT32_MAX) return false;
    // The container's header and directory, as the container writes them.
    THdrSectList list;
    list.Add(SectHeader, 0, HeaderSize);
    for (int32_t f = 0; f < fields; ++f) list.Add(SectField, static_cast<uint16_t>(f), sizeof(_TableFieldInfo));
    for (int32_t d = 0; d < DataSetNames.Count(); ++d)
        list.Add(SectDataSet, static_cast<uint16_t>(d), static_cast<uint32_t>(setSize));
    std::vector<uint8_t> head(16, 0);
    std::memcpy(head.data(), ident.data(), std::min<size_t>(ident.size(), 13));
    head[14] = static_cast<uint8_t>(list.Count());
    head[15] = static_cast<uint8_t>(list.Count() >> 8);
    list.WriteTo(head);
    uint8_t header[HeaderSize] = {};
    FillHeader(header);
    head.insert(head.end(), header, header + HeaderSize);
    for (int32_t f = 0; f < fields; ++f) {
        const auto* field = reinterpret_cast<const uint8_t*>(Fields.Get(f));
        head.insert(head.end(), field, field + sizeof(_TableFieldInfo));
    }
    if (!sink(head.data(), head.size())) return false;

    // The cells go out a group of whole fields at a time through one buffer.
    const size_t column = 4 * static_cast<size_t>(rows);
    constexpr size_t BufferSize = 1 << 20;
    const int32_t perGroup = column == 0 ? std::max(fields, 1)
                                         : static_cast<int32_t>(std::max<size_t>(1, BufferSize / column));
    std::vector<uint8_t> buffer(std::max<size_t>(DataSetNameSize,
                                                 column * static_cast<size_t>(std::min(perGroup, std::max(fields, 1)))));
    for (int32_t d = 0; d < DataSetNames.Count(); ++d) {
        uint8_t name[DataSetNameSize] = {};
        std::memcpy(name, DataSetNames.Get(d)->Name, sizeof(_TableDataSetName));
        if (!sink(name, DataSetNameSize)) return false;
        for (int32_t f = 0; f < fields; f += perGroup) {
            const int32_t end = std::min(fields, f + perGroup);
            LayOutFields(d, f, end, buffer.data());
            if (!sink(buffer.data(), column * static_cast<size_t>(end - f))) return false;
        }
    }
    return true;
}

bool TTableData::LoadFrom(THdrObj& container) {
    uint8_t header[HeaderSize];
    if (!container.ReadSectionFixed(SectHeader, 0, HeaderSize, header)) return false;
    SetName(FixedText(reinterpret_cast<char*>(header), 17, 16));
    SetTypeName(FixedText(reinterpret_cast<char*>(header + 17), 17, 16));
    const int32_t fields = LeGetI32(header + 34);
    const int32_t rows = LeGetI32(header + 38);
    // The data sets go first, so that the new counts allocate nothing yet.
    SetDataSetCount(0);
    bool ok = true;
    try {
        SetFieldCount(fields);
        SetRowCount(rows);
        SetFunction(LeGetI32(header + 42));
        SetBlock(LeGetI32(header + 46));
        SetCfg(LeGetI32(header + 50));
        SetLevel(LeGetI32(header + 54));
    } catch (const TModelLimit&) {
        ok = false;
    }
    if (!ok) return false;
    for (int32_t f = 0; f < fields; ++f) {
        _TableFieldInfo field;
        if (!container.ReadSectionFixed(SectField, static_cast<uint16_t>(f), sizeof field, &field)) return false;
        // The texts end at their first NUL, with zeros after it; the rest is kept.
        field.SetName(field.GetName());
        field.SetUnit(field.GetUnit());
        *Fields.Get(f) = field;
    }
    const size_t cellCount = static_cast<size_t>(fields) * static_cast<size_t>(rows);
    const uint64_t expected = (DataSetNameSize / 4 + static_cast<uint64_t>(cellCount)) * 4;
    std::vector<uint8_t> image;
    for (int32_t d = 0; container.FindSection(SectDataSet, static_cast<uint16_t>(d)) >= 0; ++d) {
        if (d >= MaxDataSets || expected > UINT32_MAX) return false;
        // The section exists with this size inside the container, so the
        // buffer is no larger than what the file holds.
        image.resize(static_cast<size_t>(expected));
        if (!container.ReadSectionFixed(SectDataSet, static_cast<uint16_t>(d), static_cast<uint32_t>(expected),
                                        image.data()))
            return false;
        SetDataSetCount(d + 1);
        SetDataSetName(d, FixedText(reinterpret_cast<char*>(image.data()), DataSetNameSize, 16));
        const uint8_t* cells = image.data() + DataSetNameSize;
        for (int32_t r = 0; r < rows; ++r) {
            uint32_t* row = RowCells(d, r);
            for (int32_t f = 0; f < fields; ++f)
                row[f] = LeGet32(cells + 4 * (static_cast<size_t>(f) * static_cast<size_t>(rows) + static_cast<size_t>(r)));
        }
    }
    return true;
}

// ---------------------------------------------------------------- CSV

bool TTableData::WriteToCSV(CSVFile& file) {
    const auto line = [&](std::initializer_list<std::string_view> fields) {
        for (std::string_view f : fields) file.WriteField(f);
        file.EndLine();
    };
    line({"\xA7Table"});
    line({"\xA7TableInfo"});
    line({"Name", GetName()});
    line({"Function", Decimal(Function)});
    line({"Block", Decimal(Block)});
    line({"Cfg", Decimal(Cfg)});
    line({"Level", Decimal(Level)});
    line({"\xA7TableFields"});
    for (int32_t f = 0; f < Fields.Count(); ++f) {
        const _TableFieldInfo* field = Fields.Get(f);
        line({field->GetName(), field->GetSize(), field->GetUnit(), Decimal(field->Flags)});
    }
    line({"\xA7TableData"});
    for (int32_t r = 0; r < GetRowCount(); ++r) {
        for (int32_t f = 0; f < Fields.Count(); ++f) file.WriteField(GetValueText(0, r, f));
        file.EndLine();
    }
    return file.Good();
}

bool TTableData::ReadFromCSV(CSVFile& file) {
    const TTableData before(*this);
    try {
        return ReadCSVBlock(file);
    } catch (...) {
        TakeContents(before);
        throw;
    }
}

bool TTableData::ReadCSVBlock(CSVFile& file) {
    enum class State { Before, InTable, Info, FieldList, Data } state = State::Before;
    std::string first;
    const char* current = file.GetCurrentField();
    bool have = false;
    if (current && current[0] == '\xA7') {
        first = current;
        have = true;
    } else if (const char* next = file.ReadField()) {
        first = next;
        have = true;
    }
    for (;;) {
        if (have && !first.empty() && first[0] == '\xA7') {
            if (state == State::Before) {
                if (first == "\xA7Table") state = State::InTable;
            } else if (first == "\xA7TableInfo") {
                state = State::Info;
            } else if (first == "\xA7TableFields") {
                state = State::FieldList;
            } else if (first == "\xA7TableData") {
                state = State::Data;
            } else {
                return true;  // the next block or another part begins here
            }
        } else if (have && state == State::Info) {
            if (first == "Name") {
                if (const char* text = file.ReadField()) SetName(text);
            } else if (first == "Function") {
                SetFunction(CSVFieldToInt(file.ReadField()));
            } else if (first == "Block") {
                SetBlock(CSVFieldToInt(file.ReadField()));
            } else if (first == "Cfg") {
                SetCfg(CSVFieldToInt(file.ReadField()));
            } else if (first == "Level") {
                SetLevel(CSVFieldToInt(file.ReadField()));
            }
        } else if (have && state == State::FieldList && CanAddField()) {
            _TableFieldInfo* field = AddField();
            field->SetName(first);
            if (const char* size = file.ReadField()) {
                field->SetSize(size);
                if (const char* unit = file.ReadField()) {
                    field->SetUnit(unit);
                    if (const char* flags = file.ReadField())
                        field->Flags = static_cast<uint8_t>(CSVFieldToInt(flags) & 0xFF);
                }
            }
        } else if (have && state == State::Data && !first.empty() && CanAddRow() && Fields.Count() > 0) {
            AddRow();
            const int32_t r = GetRowCount() - 1;
            SetValue(0, r, 0, CellTextToBits(first.c_str()));
            for (int32_t f = 1; f < Fields.Count(); ++f) {
                const char* text = file.ReadField();
                if (!text || !*text) break;
                SetValue(0, r, f, CellTextToBits(text));
            }
        }
        if (!file.ReadLine()) break;
        const char* next = file.ReadField();
        have = next != nullptr;
        if (have) first = next;
    }
    return state != State::Before;
}
