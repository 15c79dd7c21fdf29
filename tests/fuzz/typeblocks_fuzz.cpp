// Block lists from arbitrary bytes fed to the type and table readers: never
// a crash, whatever the headers, lengths and images say; what was read can
// be written as blocks again (or is refused with a reason) and read back.
//
// Input: blocks one after the other, each a header byte for the kind, a
// byte whose low bit chooses whether the header's length is wrong, two
// length bytes and that many data bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "TableBlocks.h"
#include "Tabledata.h"
#include "TypeBlocks.h"
#include "TypeObject.h"
#include "Typedata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TQXBlockMemList list;
    size_t at = 0;
    // A unit's list is bounded by its memory; here by a few blocks, so that
    // tables of many empty rows stay affordable.
    while (at + 4 <= size && list.Count() < 8) {
        const uint8_t kind = data[at];
        const bool wrongHeader = data[at + 1] & 1;
        const size_t length = std::min<size_t>(data[at + 2] | (data[at + 3] << 8), size - at - 4);
        TQXBlockMem* block = list.Add();
        block->Header[0] = kind;
        block->MemType = kind >= 3 ? 1 : 0;
        block->SetData(data + at + 4, static_cast<uint32_t>(length));
        if (wrongHeader) SetBlockDataLength(block->Header, static_cast<uint16_t>(length + 1));
        if (data[at + 1] & 2) block->MakeHeadCopy();
        at += 4 + length;
    }
    _BlockContext context;
    context.ModelVersion.SetText("V2.7");
    int questions = 0;
    context.AskOverwrite = [&](std::string_view, std::string_view) { return ++questions % 2 == 0; };

    std::string first, second;
    for (int32_t i = 0; i < list.Count(); ++i) {
        GetTypeBlockNames(list.Get(i), context, first, second);
        GetTableBlockNames(list.Get(i), context, first, second);
    }
    static uint8_t formats[100] = {};
    TTypeObjectData object(formats);
    TQXBlockMemList copy;
    for (int32_t i = 0; i < list.Count(); ++i) copy.Add()->Assign(*list.Get(i));
    if (!object.LoadFromBlocks(copy, context, true)) std::abort();
    object.LoadDataSetFromBlocks(list, context, false);
    object.LoadDataSetFromBlocks(list, context, true);
    TTableData table(formats);
    TableDataFromBlocks(table, list, context, false);
    LoadTableDataSetBlock(table, list, context, true);

    TQXBlockMemList written;
    if (object.SaveToBlocks(written, context, 0, 1)) {
        TTypeObjectData again(formats);
        if (!again.LoadFromBlocks(written, context, true)) std::abort();
        if (again.GetTypeData().GetParameterCount() != object.GetTypeData().GetParameterCount()) std::abort();
    } else if (context.RefusalId == 0 || written.Count() != 0) {
        std::abort();
    }
    return 0;
}
