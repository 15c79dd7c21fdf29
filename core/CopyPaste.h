// The type editor's own clipboard: one copied parameter (with its format
// record), table or table field, shared by all type windows.
#pragma once

#include <cstdint>
#include <memory>

#include "Tabledata.h"
#include "Typedata.h"

class TCopyPaste {
public:
    static constexpr int32_t KindNone = -1;
    static constexpr int32_t KindParameter = 0;
    static constexpr int32_t KindTable = 3;
    static constexpr int32_t KindField = 4;

    TCopyPaste() = default;
    TCopyPaste(const TCopyPaste&) = delete;
    TCopyPaste& operator=(const TCopyPaste&) = delete;
    ~TCopyPaste() { Clear(); }

    // Holds a copy of the item: a _ParamName (kind 0), a TTableData (3) or a
    // _TableFieldInfo (4). Kinds 1 and 2 hold nothing and succeed; any other
    // kind, or no item, fails. Whatever was held before is released first
    // (not for a null item), its format record with it.
    bool Copy(const void* item, int32_t kind);
    // The format record of the parameter just copied; refused when no
    // parameter is held or it already has one.
    bool CopyParamFormat(const _ParamFormatItem* format);
    // Releases what is held; false when nothing is.
    bool Clear();

    int32_t GetKind() const { return Kind; }
    const void* GetItem() const;
    const _ParamName* GetParamName() const { return Param.get(); }
    const TTableData* GetTable() const { return Table.get(); }
    const _TableFieldInfo* GetField() const { return Field.get(); }
    // Only ever the format of the parameter held now.
    const _ParamFormatItem* GetFormat() const { return Kind == KindParameter ? Format.get() : nullptr; }

private:
    std::unique_ptr<_ParamName> Param;
    std::unique_ptr<TTableData> Table;
    std::unique_ptr<_TableFieldInfo> Field;
    std::unique_ptr<_ParamFormatItem> Format;
    int32_t Kind = KindNone;
};
