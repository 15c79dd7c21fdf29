#include "CopyPaste.h"

bool TCopyPaste::Copy(const void* item, int32_t kind) {
    if (!item) return false;
    Clear();
    switch (kind) {
        case KindParameter:
            Param = std::make_unique<_ParamName>(*static_cast<const _ParamName*>(item));
            break;
        case KindTable:
            Table = std::make_unique<TTableData>(*static_cast<const TTableData*>(item));
            break;
        case KindField:
            Field = std::make_unique<_TableFieldInfo>(*static_cast<const _TableFieldInfo*>(item));
            break;
        case 1:
        case 2:
            return true;  // nothing to hold for these
        default:
            return false;
    }
    Kind = kind;
    return true;
}

bool TCopyPaste::CopyParamFormat(const _ParamFormatItem* format) {
    if (!format || Format || Kind != KindParameter) return false;
    Format = std::make_unique<_ParamFormatItem>(*format);
    return true;
}

bool TCopyPaste::Clear() {
    const bool held = Kind != KindNone;
    Param.reset();
    Table.reset();
    Field.reset();
    Format.reset();
    Kind = KindNone;
    return held;
}

const void* TCopyPaste::GetItem() const {
    switch (Kind) {
        case KindParameter: return Param.get();
        case KindTable: return Table.get();
        case KindField: return Field.get();
        default: return nullptr;
    }
}
