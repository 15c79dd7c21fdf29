#include "TableBlocks.h"

#include <cstring>
#include <vector>

#include "Tabledata.h"
#include "TextHelpers.h"
#include "Thdrobj.h"

namespace {

uint64_t CellBytes(const TTableData& table) {
    return static_cast<uint64_t>(table.GetRowCount()) * table.GetRowSize();
}

void ClearTable(TTableData& table) {
    table.SetName("");
    table.SetTypeName("");
    table.SetDataSetCount(0);
    table.SetRowCount(0);
    table.SetFieldCount(0);
    table.SetFunction(0);
    table.SetBlock(0);
    table.SetCfg(0);
    table.SetLevel(0);
}

// Reads a Table Text image; false when it is malformed.
bool ReadTableText(TTableData& table, const uint8_t* data, uint32_t length) {
    if (length < TableTextFixedSize) return false;
    table.SetName(TrimBlockName(ImageText(data, PaddedNameSize)));
    table.SetTypeName(TrimBlockName(ImageText(data + PaddedNameSize, PaddedNameSize)));
    const int32_t fields = data[36];
    try {
        table.SetRowCount(LeGet16(data + 34));
        table.SetFieldCount(fields);
        table.SetFunction(data[37]);
        table.SetBlock(data[38]);
        table.SetCfg(data[39]);
        table.SetLevel(data[40]);
    } catch (const TModelLimit&) {
        return false;
    }
    for (int32_t f = 0; f < fields; ++f) {
        const uint64_t end = TableTextFixedSize + uint64_t{FieldRecordSize} * (f + 1);
        if (length < end) return false;
        const uint8_t* rec = data + end - FieldRecordSize;
        _TableFieldInfo* field = table.GetField(f);
        field->SetName(ImageText(rec, 18));
        field->SetUnit(ImageText(rec + 18, 8));
        field->Size = rec[30];
        field->Flags = rec[31];
    }
    return true;
}

// The data of a Table Data block of this table and size, or null. Fields of
// a size outside 1..4 take no bytes of the image, so their cells could make
// a data set far larger than the image: a table whose data sets hold more
// cells than an image can carry takes none.
const uint8_t* MatchTableData(const TTableData& table, const TQXBlockMem* block, uint32_t& length) {
    if (BlockKind(block) != BlockTableData) return nullptr;
    const uint8_t* data = BlockImage(block, length);
    if (!data || length < TableDataFixedSize) return nullptr;
    if (TrimBlockName(ImageText(data, PaddedNameSize)) != TrimBlockName(table.GetName())) return nullptr;
    if (length - TableDataFixedSize != CellBytes(table)) return nullptr;
    if (static_cast<uint64_t>(table.GetRowCount()) * table.GetFieldCount() > MaxTableDataBytes) return nullptr;
    return data;
}

// The cells of one image into data set d.
void PutTableData(TTableData& table, int32_t d, const uint8_t* data) {
    const int32_t fields = table.GetFieldCount();
    std::vector<uint8_t> sizes(static_cast<size_t>(fields));
    for (int32_t f = 0; f < fields; ++f) sizes[static_cast<size_t>(f)] = table.GetField(f)->Size;
    const uint8_t* at = data + TableDataFixedSize;
    for (int32_t r = 0; r < table.GetRowCount(); ++r) {
        uint32_t* row = table.RowCells(d, r);
        for (int32_t f = 0; f < fields; ++f) {
            uint32_t v = 0;
            switch (sizes[static_cast<size_t>(f)]) {
                case 1: v = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(at[0]))); break;
                case 2: v = LeGet16(at); break;
                case 3: v = LeGet24(at); break;
                case 4: v = LeGet32(at); break;
                default: continue;  // no bytes, no value
            }
            at += sizes[static_cast<size_t>(f)];
            if (row) row[f] = v;
        }
    }
}

}  // namespace

// ---------------------------------------------------------------- writing

bool CheckTableDataBlocks(const TTableData& table, _BlockContext& context) {
    const uint64_t bytes = CellBytes(table);
    if (bytes <= MaxTableDataBytes) return true;
    context.Refuse(Msg::TableBlockTooLarge, table.GetName(), std::to_string(bytes));
    return false;
}

bool TableDataToBlocks(const TTableData& table, TQXBlockMemList& list, _BlockContext& context) {
    if (!IsBlockFormatV2(context)) return false;
    return TableDataToBlocksV2(table, list, context);
}

bool TableDataToBlocksV2(const TTableData& table, TQXBlockMemList& list, _BlockContext& context) {
    if (!CheckTableDataBlocks(table, context)) return false;
    const int32_t fields = table.GetFieldCount();
    const int32_t rows = table.GetRowCount();
    const std::string name = table.GetName();
    const std::string owner = table.GetTypeName();

    TQXBlockMem* text = list.Add();
    text->MemType = 0;
    text->Header[0] = BlockTableText;
    uint8_t* image = text->AllocData(TableTextFixedSize + FieldRecordSize * fields);
    PutPaddedName(image, name);
    PutPaddedName(image + PaddedNameSize, owner);
    LePut16(image + 34, static_cast<uint16_t>(rows));
    image[36] = static_cast<uint8_t>(fields);
    image[37] = table.GetFunction();
    image[38] = table.GetBlock();
    image[39] = table.GetCfg();
    image[40] = table.GetLevel();
    std::vector<uint8_t> sizes(static_cast<size_t>(fields));
    for (int32_t f = 0; f < fields; ++f) {
        const _TableFieldInfo* field = table.GetField(f);
        uint8_t* rec = image + TableTextFixedSize + FieldRecordSize * f;
        SetFixedText(reinterpret_cast<char*>(rec), 18, field->GetName());
        SetFixedText(reinterpret_cast<char*>(rec + 18), 8, field->GetUnit());
        rec[30] = field->Size;
        rec[31] = field->Flags;
        sizes[static_cast<size_t>(f)] = field->Size;
    }
    text->MakeHeadCopy();

    const uint32_t length = TableDataFixedSize + static_cast<uint32_t>(CellBytes(table));
    for (int32_t d = 0; d < table.GetDataSetCount(); ++d) {
        TQXBlockMem* block = list.Add();
        block->MemType = 1;
        block->Header[0] = BlockTableData;
        uint8_t* data = block->AllocData(length);
        PutPaddedName(data, name);
        PutPaddedName(data + PaddedNameSize, owner);
        uint8_t* at = data + TableDataFixedSize;
        for (int32_t r = 0; r < rows; ++r) {
            const uint32_t* row = table.RowCells(d, r);
            for (int32_t f = 0; f < fields; ++f) {
                const uint8_t size = sizes[static_cast<size_t>(f)];
                if (size < 1 || size > 4) continue;
                // The low bytes of the cell are those of its value as the
                // field shows it: the cut and the sign extension only touch
                // the bytes above the field's size.
                const uint32_t v = row ? row[f] : 0;
                for (uint8_t b = 0; b < size; ++b) *at++ = static_cast<uint8_t>(v >> (8 * b));
            }
        }
        block->MakeHeadCopy();
    }
    return true;
}

// ---------------------------------------------------------------- reading

bool TableDataFromBlocks(TTableData& table, const TQXBlockMemList& list, _BlockContext& context, bool reset) {
    if (!IsBlockFormatV2(context)) return false;
    return TableDataFromBlocksV2(table, list, context, reset);
}

bool TableDataFromBlocksV2(TTableData& table, const TQXBlockMemList& list, _BlockContext& context, bool reset) {
    bool defined = !reset;
    int32_t position = 0;
    if (reset) ClearTable(table);
    for (int32_t i = 0; i < list.Count(); ++i) {
        const TQXBlockMem* block = list.Get(i);
        uint32_t length = 0;
        if (BlockKind(block) == BlockTableText && block->Data()) {
            // A text block whose header and data disagree is malformed.
            const uint8_t* data = BlockImage(block, length);
            position = 0;
            // A new definition: the data sets of an earlier one do not fit it.
            if (data && reset) table.SetDataSetCount(0);
            defined = data && ReadTableText(table, data, length);
            if (!defined) ClearTable(table);
        } else if (const uint8_t* data = defined ? MatchTableData(table, block, length) : nullptr) {
            const std::string stored = ImageText(data, PaddedNameSize);
            const DataBlockTarget target = PlaceDataBlock(position, table.GetDataSetCount(), table.CanAddDataSet(),
                                                          context, stored, table.GetName());
            int32_t d = position++;
            if (target == DataBlockTarget::Ignore) continue;
            if (target == DataBlockTarget::Add) {
                table.AddDataSet();
                d = table.GetDataSetCount() - 1;
                table.SetDataSetName(d, TrimBlockName(stored));
            }
            PutTableData(table, d, data);
        }
    }
    return true;
}

bool GetTableBlockNames(const TQXBlockMem* block, const _BlockContext& context, std::string& first,
                        std::string& second) {
    if (!IsBlockFormatV2(context)) return false;
    return GetTableBlockNamesV2(block, context, first, second);
}

bool GetTableBlockNamesV2(const TQXBlockMem* block, const _BlockContext&, std::string& first, std::string& second) {
    const uint8_t kind = BlockKind(block);
    if (!block || !block->HeadCopy() || (kind != BlockTableText && kind != BlockTableData)) return false;
    first = ImageText(block->HeadCopy(), PaddedNameSize);
    second = ImageText(block->HeadCopy() + PaddedNameSize, PaddedNameSize);
    return true;
}

bool LoadTableDataSetBlock(TTableData& table, const TQXBlockMemList& list, const _BlockContext& context, bool apply) {
    if (!IsBlockFormatV2(context)) return false;
    return LoadTableDataSetBlockV2(table, list, context, apply);
}

bool LoadTableDataSetBlockV2(TTableData& table, const TQXBlockMemList& list, const _BlockContext&, bool apply) {
    for (int32_t i = 0; i < list.Count(); ++i) {
        uint32_t length = 0;
        if (const uint8_t* data = MatchTableData(table, list.Get(i), length)) {
            if (apply) PutTableData(table, 0, data);
            return true;
        }
    }
    return false;
}
