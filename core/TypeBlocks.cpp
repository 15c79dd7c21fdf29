#include "TypeBlocks.h"

#include <cstring>

#include "TextHelpers.h"
#include "Thdrobj.h"
#include "Typedata.h"

// ---------------------------------------------------------------- shared

bool IsBlockFormatV2(const _BlockContext& context) { return ParseModelVersion(context.ModelVersion.GetText()) == 2; }

void PutPaddedName(uint8_t* at, std::string_view name) {
    name = name.substr(0, PaddedNameSize - 1);
    std::memset(at, ' ', PaddedNameSize - 1);
    std::memcpy(at, name.data(), name.size());
    at[PaddedNameSize - 1] = 0;
}

std::string ImageText(const uint8_t* at, size_t size) { return FixedText(reinterpret_cast<const char*>(at), size); }

std::string TrimBlockName(std::string_view text) {
    const auto low = [](char c) { return static_cast<unsigned char>(c) < 33; };
    while (!text.empty() && low(text.front())) text.remove_prefix(1);
    while (!text.empty() && low(text.back())) text.remove_suffix(1);
    return std::string(text);
}

const uint8_t* BlockImage(const TQXBlockMem* block, uint32_t& length) {
    length = 0;
    if (!block || !block->Data() || GetBlockDataLength(block->Header) != block->GetDataLength()) return nullptr;
    length = block->GetDataLength();
    return block->Data();
}

uint8_t BlockKind(const TQXBlockMem* block) { return block ? block->Header[0] : 0; }

DataBlockTarget PlaceDataBlock(int32_t position, int32_t dataSetCount, bool canAdd, const _BlockContext& context,
                               std::string_view storedName, std::string_view ownerName) {
    if (position < dataSetCount)
        return context.Ask(storedName, ownerName) ? DataBlockTarget::Overwrite : DataBlockTarget::Ignore;
    return canAdd ? DataBlockTarget::Add : DataBlockTarget::Ignore;
}

namespace {

// A new block of the list with zero-filled data of the given length.
uint8_t* NewBlock(TQXBlockMemList& list, uint8_t memType, uint8_t kind, uint32_t length) {
    TQXBlockMem* block = list.Add();
    block->MemType = memType;
    block->Header[0] = kind;
    return block->AllocData(length);
}

void FinishBlock(TQXBlockMemList& list) { list.Get(list.Count() - 1)->MakeHeadCopy(); }

// The text into a zero-filled field of size bytes, at most size - 1 characters.
void PutText(uint8_t* at, size_t size, std::string_view text) { SetFixedText(reinterpret_cast<char*>(at), size, text); }

void ClearType(TTypeData6& type) {
    type.SetName("");
    type.SetLanguageCount(2);
    type.SetParameterCount(0);
    type.SetDataSetCount(0);
}

// Reads a Parameters Text image; false when it is malformed.
bool ReadTypeText(TTypeData6& type, const uint8_t* data, uint32_t length) {
    if (length < 20) return false;
    const uint8_t count = data[17];
    if (count == 0) return false;
    type.SetName(TrimBlockName(ImageText(data, PaddedNameSize)));
    type.SetLanguageCount(2);
    const int32_t P = count - 1;
    type.SetParameterCount(P);
    if (length < TypeTextFixedSize) return false;
    for (int32_t l = 0; l < 2; ++l) {
        _LangItem* lang = type.GetLanguage(l);
        lang->SetName("Language " + std::to_string(l + 1));
        for (int i = 0; i < 16; ++i) lang->SetSwitchText(i, ImageText(data + 20 + 38 * l + 76 * i, 38));
    }
    for (int32_t record = 0; record <= P; ++record) {
        const uint64_t end = TypeTextFixedSize + uint64_t{ParamRecordSize} * (record + 1);
        if (length < end) return false;
        if (record == 0) continue;
        const uint8_t* rec = data + end - ParamRecordSize;
        const int32_t p = record - 1;
        type.SetParamName(p, 0, ImageText(rec, 64));
        type.SetParamName(p, 1, ImageText(rec + 64, 64));
        _ParamFormatItem* format = type.GetParamFormat(p);
        format->SetUnits(ImageText(rec + 128, 8));
        format->Min = LeGet16(rec + 136);
        format->Max = LeGet16(rec + 138);
    }
    return true;
}

// The data of a Parameters Data block of this type and size, or null.
const uint8_t* MatchTypeData(const TTypeData6& type, const TQXBlockMem* block, uint32_t& length) {
    if (BlockKind(block) != BlockParametersData) return nullptr;
    const uint8_t* data = BlockImage(block, length);
    if (!data || length < TypeDataFixedSize) return nullptr;
    if (TrimBlockName(ImageText(data + PaddedNameSize, PaddedNameSize)) != TrimBlockName(type.GetName())) return nullptr;
    if (length - TypeDataFixedSize != 2 * static_cast<uint64_t>(type.GetParameterCount())) return nullptr;
    return data;
}

void PutTypeData(TTypeData6& type, int32_t s, const uint8_t* data) {
    type.SetSwitchMask(s, LeGet16(data + 36));
    for (int32_t p = 0; p < type.GetParameterCount(); ++p) type.SetValue(p, s, LeGet16(data + TypeDataFixedSize + 2 * p));
}

}  // namespace

// ---------------------------------------------------------------- writing

bool CheckTypeDataBlocks(const TTypeData6& type, _BlockContext& context) {
    if (type.GetParameterCount() <= MaxBlockParameters) return true;
    context.Refuse(Msg::TooManyBlockParameters, type.GetName(), std::to_string(type.GetParameterCount()));
    return false;
}

bool TypeDataToBlocks(const TTypeData6& type, TQXBlockMemList& list, _BlockContext& context, int32_t a, int32_t b) {
    if (!IsBlockFormatV2(context)) return false;
    return TypeDataToBlocksV2(type, list, context, a, b);
}

bool TypeDataToBlocksV2(const TTypeData6& type, TQXBlockMemList& list, _BlockContext& context, int32_t a, int32_t b) {
    if (!CheckTypeDataBlocks(type, context)) return false;
    const int32_t P = type.GetParameterCount();
    const std::string name = type.GetName();

    uint8_t* text = NewBlock(list, 0, BlockParametersText, TypeTextFixedSize + ParamRecordSize * (P + 1));
    PutPaddedName(text, name);
    text[17] = static_cast<uint8_t>(P + 1);
    const int32_t languages[2] = {a, b};
    for (int32_t l = 0; l < 2; ++l) {
        const _LangItem* lang = type.GetLanguage(languages[l]);
        if (!lang) continue;
        for (int i = 0; i < 16; ++i) PutText(text + 20 + 38 * l + 76 * i, 38, lang->GetSwitchText(i));
    }
    for (int32_t p = 0; p < P; ++p) {
        uint8_t* rec = text + TypeTextFixedSize + ParamRecordSize * (p + 1);
        PutText(rec, 64, type.GetParamName(p, a));
        PutText(rec + 64, 64, type.GetParamName(p, b));
        if (const _ParamFormatItem* format = type.GetParamFormat(p)) {
            PutText(rec + 128, 8, format->GetUnits());
            LePut16(rec + 136, format->Min);
            LePut16(rec + 138, format->Max);
        }
    }
    FinishBlock(list);

    for (int32_t s = 0; s < type.GetDataSetCount(); ++s) {
        uint8_t* data = NewBlock(list, 1, BlockParametersData, TypeDataFixedSize + 2 * P);
        PutPaddedName(data, name);
        PutPaddedName(data + PaddedNameSize, name);
        data[34] = static_cast<uint8_t>(P + 1);
        LePut16(data + 36, type.GetSwitchMask(s));
        for (int32_t p = 0; p < P; ++p) LePut16(data + TypeDataFixedSize + 2 * p, type.GetValue(p, s));
        FinishBlock(list);
    }
    return true;
}

// ---------------------------------------------------------------- reading

bool TypeDataFromBlocks(TTypeData6& type, const TQXBlockMemList& list, _BlockContext& context, bool reset) {
    if (!IsBlockFormatV2(context)) return false;
    return TypeDataFromBlocksV2(type, list, context, reset);
}

bool TypeDataFromBlocksV2(TTypeData6& type, const TQXBlockMemList& list, _BlockContext& context, bool reset) {
    // Data blocks are taken only for a definition in hand: the one given
    // (without reset) or one read from a Parameters Text block of this list.
    bool defined = !reset;
    int32_t position = 0;  // data blocks of the current definition so far
    if (reset) ClearType(type);
    for (int32_t i = 0; i < list.Count(); ++i) {
        const TQXBlockMem* block = list.Get(i);
        uint32_t length = 0;
        if (BlockKind(block) == BlockParametersText && block->Data()) {
            // A text block whose header and data disagree is malformed.
            const uint8_t* data = BlockImage(block, length);
            position = 0;
            defined = data && ReadTypeText(type, data, length);
            if (!defined) ClearType(type);
        } else if (const uint8_t* data = defined ? MatchTypeData(type, block, length) : nullptr) {
            const std::string stored = ImageText(data, PaddedNameSize);
            const DataBlockTarget target = PlaceDataBlock(position, type.GetDataSetCount(), type.CanAddDataSet(),
                                                          context, stored, type.GetName());
            int32_t s = position++;
            if (target == DataBlockTarget::Ignore) continue;
            if (target == DataBlockTarget::Add) {
                type.AddDataSet();
                s = type.GetDataSetCount() - 1;
                type.SetDataSetName(s, TrimBlockName(stored));
            }
            PutTypeData(type, s, data);
        }
    }
    if (type.GetDataSetCount() == 0) type.AddDataSet();
    return true;
}

bool GetTypeBlockNames(const TQXBlockMem* block, const _BlockContext& context, std::string& first,
                       std::string& second) {
    if (!IsBlockFormatV2(context)) return false;
    return GetTypeBlockNamesV2(block, context, first, second);
}

bool GetTypeBlockNamesV2(const TQXBlockMem* block, const _BlockContext&, std::string& first, std::string& second) {
    const uint8_t kind = BlockKind(block);
    if (!block || !block->HeadCopy() || (kind != BlockParametersText && kind != BlockParametersData)) return false;
    first = ImageText(block->HeadCopy(), PaddedNameSize);
    second = kind == BlockParametersData ? ImageText(block->HeadCopy() + PaddedNameSize, PaddedNameSize) : "";
    return true;
}

bool LoadTypeDataSetBlock(TTypeData6& type, const TQXBlockMemList& list, const _BlockContext& context, bool apply) {
    if (!IsBlockFormatV2(context)) return false;
    return LoadTypeDataSetBlockV2(type, list, context, apply);
}

bool LoadTypeDataSetBlockV2(TTypeData6& type, const TQXBlockMemList& list, const _BlockContext&, bool apply) {
    for (int32_t i = 0; i < list.Count(); ++i) {
        uint32_t length = 0;
        if (const uint8_t* data = MatchTypeData(type, list.Get(i), length)) {
            if (apply) PutTypeData(type, 0, data);
            return true;
        }
    }
    return false;
}
