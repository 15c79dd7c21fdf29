#include "TypeObject.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "SafeFile.h"
#include "SystemCause.h"
#include "TableBlocks.h"
#include "Tabledata.h"
#include "Thdrobj.h"
#include "Typedata.h"

namespace {

constexpr const char* FileIdent = "QX218 TYPTAB";
constexpr const char* TypeIdent = "QX218 TYP";
constexpr const char* TableIdent = "QX218 TAB";


// Writes to a file through one buffer: small pieces are gathered, large
// ones go out as they are.
class TFileSink {
public:
    explicit TFileSink(int fd) : Fd(fd) { Buffer.reserve(Size); }
    bool Put(const uint8_t* data, size_t size) {
        if (Buffer.size() + size > Size && !Flush()) return false;
        if (size >= Size) return WriteAll(data, size);
        Buffer.insert(Buffer.end(), data, data + size);
        return true;
    }
    bool Flush() {
        const bool ok = WriteAll(Buffer.data(), Buffer.size());
        Buffer.clear();
        return ok;
    }

private:
    static constexpr size_t Size = 1 << 20;
    int Fd;
    std::vector<uint8_t> Buffer;

    bool WriteAll(const uint8_t* data, size_t size) {
        while (size > 0) {
            const ssize_t n = ::write(Fd, data, size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                NoteSystemCause(n < 0 ? errno : EIO);
                return false;
            }
            data += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }
};

}  // namespace

// ---------------------------------------------------------------- table list

TTableDataList::TTableDataList() = default;
TTableDataList::~TTableDataList() = default;

TTableData* TTableDataList::Get(int32_t i) {
    return i >= 0 && i < Count() ? Items[static_cast<size_t>(i)].get() : nullptr;
}

const TTableData* TTableDataList::Get(int32_t i) const { return const_cast<TTableDataList*>(this)->Get(i); }

TTableData* TTableDataList::Add() { return Append(std::make_unique<TTableData>()); }

TTableData* TTableDataList::Insert(int32_t i) {
    if (i < 0 || i >= Count()) return nullptr;
    return Items.insert(Items.begin() + i, std::make_unique<TTableData>())->get();
}

void TTableDataList::Delete(int32_t i) {
    if (i >= 0 && i < Count()) Items.erase(Items.begin() + i);
}

void TTableDataList::Clear() { Items.clear(); }

TTableData* TTableDataList::Append(std::unique_ptr<TTableData> table) {
    Items.push_back(std::move(table));
    return Items.back().get();
}

TTableData* TTableDataList::Replace(int32_t i, std::unique_ptr<TTableData> table) {
    if (i < 0 || i >= Count() || !table) return nullptr;
    Items[static_cast<size_t>(i)] = std::move(table);
    return Items[static_cast<size_t>(i)].get();
}

// ---------------------------------------------------------------- type object

TTypeObjectData::TTypeObjectData(const uint8_t* displayFormats)
    : Definition(std::make_unique<TTypeData6>(displayFormats)),
      Tables(std::make_unique<TTableDataList>()),
      DisplayFormats(displayFormats) {
    Definition->SetDataSetCount(1);
    Definition->SetLanguageCount(1);
}

TTypeObjectData::~TTypeObjectData() = default;

std::string TTypeObjectData::GetTypeName() const { return Definition->GetName(); }

void TTypeObjectData::SetTypeName(std::string_view text) {
    Definition->SetName(text);
    const std::string stored = Definition->GetName();
    for (int32_t i = 0; i < Tables->Count(); ++i) Tables->Get(i)->SetTypeName(stored);
}

TTableData* TTypeObjectData::AddTable() {
    TTableData* table = Tables->Add();
    table->SetDisplayFormats(DisplayFormats);
    table->SetDataSetCount(1);
    return table;
}

TTableData* TTypeObjectData::InsertTable(int32_t i) {
    TTableData* table = Tables->Insert(i);
    if (table) {
        table->SetDisplayFormats(DisplayFormats);
        table->SetDataSetCount(1);
    }
    return table;
}

void TTypeObjectData::DeleteTable(int32_t i) { Tables->Delete(i); }

TTableData* TTypeObjectData::AdoptTable(std::unique_ptr<TTableData> table) {
    if (!table) return nullptr;
    table->SetDisplayFormats(DisplayFormats);
    return Tables->Append(std::move(table));
}

TTableData* TTypeObjectData::ReplaceTable(int32_t i, std::unique_ptr<TTableData> table) {
    if (!table) return nullptr;
    table->SetDisplayFormats(DisplayFormats);
    return Tables->Replace(i, std::move(table));
}

bool TTypeObjectData::TableExists(std::string_view name) const {
    for (int32_t i = 0; i < Tables->Count(); ++i)
        if (Tables->Get(i)->GetName() == name) return true;
    return false;
}

void TTypeObjectData::Swap(TTypeObjectData& other) {
    std::swap(Definition, other.Definition);
    std::swap(Tables, other.Tables);
    std::swap(DisplayFormats, other.DisplayFormats);
    uint8_t extension[ExtensionSize];
    std::memcpy(extension, Extension, ExtensionSize);
    std::memcpy(Extension, other.Extension, ExtensionSize);
    std::memcpy(other.Extension, extension, ExtensionSize);
}

void TTypeObjectData::SwapTypeData(TTypeObjectData& other) { std::swap(Definition, other.Definition); }

// ---------------------------------------------------------------- type file

// The nested containers of the type and of each table, then the extension.
bool TTypeObjectData::TypeImage(std::vector<uint8_t>& out) const {
    // The definition is small: its container is built in memory and taken
    // out of a scratch parent whole.
    THdrMem scratch;
    THdrMem type;
    if (!scratch.Create("", FileIdent) || !type.Create("", TypeIdent) || !Definition->SaveTo(type) ||
        !type.AttachToSection(&scratch, SectType, 0))
        return false;
    uint32_t size = 0;
    const int32_t index = scratch.FindSection(SectType, 0);
    if (index < 0 || !scratch.GetSectionInfo(index, nullptr, &size, nullptr)) return false;
    out.resize(size);
    return scratch.ReadSectionPart(index, 0, size, out.data()) != 0;
}

bool TTypeObjectData::SaveToFile(const std::string& fileName) {
    Extension[0] = 1;
    if (fileName.size() > THdrFile::MaxFileName) {
        NoteSystemCause(ENAMETOOLONG);
        return false;
    }
    if (fileName.empty() || Tables->Count() > MaxFileTables) return false;
    std::vector<uint8_t> type;
    if (!TypeImage(type)) return false;
    // The file's directory: the type, every table, the extension block. A
    // table larger than a section can be is refused before anything is
    // written.
    THdrSectList list;
    list.Add(SectType, 0, static_cast<uint32_t>(type.size()));
    for (int32_t i = 0; i < Tables->Count(); ++i) {
        const uint64_t size = Tables->Get(i)->ImageSize();
        if (size > UINT32_MAX) return false;
        list.Add(SectTable, static_cast<uint16_t>(i), static_cast<uint32_t>(size));
    }
    list.Add(SectExtension, 0, ExtensionSize);
    std::vector<uint8_t> header(16, 0);
    std::memcpy(header.data(), FileIdent, std::strlen(FileIdent));
    header[14] = static_cast<uint8_t>(list.Count());
    header[15] = static_cast<uint8_t>(list.Count() >> 8);
    list.WriteTo(header);

    // The file is written straight from the model, the tables' cells a
    // group of fields at a time, under a name of its own beside the old
    // file, which only the complete new one replaces.
    const std::string temp = TemporaryNameBeside(fileName);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        NoteSystemCause(errno);
        return false;
    }
    TFileSink out(fd);
    bool ok = out.Put(header.data(), header.size()) && out.Put(type.data(), type.size());
    const auto sink = [&out](const uint8_t* data, size_t size) { return out.Put(data, size); };
    for (int32_t i = 0; ok && i < Tables->Count(); ++i) ok = Tables->Get(i)->WriteImage(sink, TableIdent);
    ok = ok && out.Put(Extension, ExtensionSize) && out.Flush();
    if (ok && ::fsync(fd) != 0) {
        NoteSystemCause(errno);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        NoteSystemCause(errno);
        ok = false;
    }
    ok = ok && MoveIntoPlace(temp, fileName);
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

bool TTypeObjectData::LoadFromFile(const std::string& fileName) {
    THdrFile file;
    if (!file.Open(fileName, FileIdent)) return false;
    // Read into a new object; this one takes its contents only when all of
    // the file was read.
    TTypeObjectData loaded(DisplayFormats);
    {
        THdrMem type;
        if (!type.OpenFromSection(&file, SectType, TypeIdent, 0) || !loaded.Definition->LoadFrom(type)) return false;
    }
    // Tables are read while their sections follow one another; a section
    // that is there but cannot be read fails the whole file instead of
    // quietly dropping that table and all after it.
    for (int32_t i = 0; i <= 0xFFFF && file.FindSection(SectTable, static_cast<uint16_t>(i)) >= 0; ++i) {
        THdrMem section;
        if (!section.OpenFromSection(&file, SectTable, TableIdent, static_cast<uint16_t>(i))) return false;
        TTableData* table = loaded.Tables->Add();
        table->SetDisplayFormats(DisplayFormats);
        if (!table->LoadFrom(section)) return false;
    }
    const int32_t extension = file.FindSection(SectExtension, 0);
    uint32_t size = 0;
    if (extension >= 0 && file.GetSectionInfo(extension, nullptr, &size, nullptr)) {
        // Another size than 256 bytes: the first 256 bytes count.
        if (!file.ReadSectionPart(extension, 0, std::min<uint32_t>(size, ExtensionSize), loaded.Extension)) return false;
    } else {
        // Written before the field flags were kept: every field is unsigned.
        for (int32_t i = 0; i < loaded.Tables->Count(); ++i) {
            TTableData* table = loaded.Tables->Get(i);
            for (int32_t f = 0; f < table->GetFieldCount(); ++f) table->GetField(f)->Flags = 0;
        }
    }
    Swap(loaded);
    return true;
}

// ---------------------------------------------------------------- blocks

bool TTypeObjectData::SaveToBlocks(TQXBlockMemList& list, _BlockContext& context, int32_t a, int32_t b) {
    context.RefusalId = 0;
    if (!IsBlockFormatV2(context)) return false;
    // Everything the images cannot carry is refused before a block is built.
    if (!CheckTypeDataBlocks(*Definition, context)) return false;
    for (int32_t i = 0; i < Tables->Count(); ++i)
        if (!CheckTableDataBlocks(*Tables->Get(i), context)) return false;
    bool ok = TypeDataToBlocks(*Definition, list, context, a, b);
    for (int32_t i = 0; ok && i < Tables->Count(); ++i) {
        TTableData* table = Tables->Get(i);
        table->SetTypeName(GetTypeName());
        ok = TableDataToBlocks(*table, list, context);
    }
    return ok;
}

bool TTypeObjectData::LoadFromBlocks(TQXBlockMemList& list, _BlockContext& context, bool reset) {
    if (!TypeDataFromBlocks(*Definition, list, context, reset)) return false;
    if (Definition->GetDataSetCount() == 0) Definition->AddDataSet();
    const std::string typeName = TrimBlockName(GetTypeName());
    const auto names = [&](TQXBlockMem* block, std::string& name, std::string& owner) {
        block->MakeHeadCopy();
        if (!GetTableBlockNames(block, context, name, owner)) return false;
        name = TrimBlockName(name);
        owner = TrimBlockName(owner);
        return true;
    };
    bool ok = true;
    while (ok) {
        int32_t textIndex = -1;
        std::string name, owner;
        for (int32_t i = 0; i < list.Count() && textIndex < 0; ++i) {
            TQXBlockMem* block = list.Get(i);
            if (BlockKind(block) == BlockTableText && block->Data() && names(block, name, owner) && owner == typeName)
                textIndex = i;
        }
        if (textIndex < 0) break;
        TQXBlockMemList blocks;
        blocks.Add()->Assign(*list.Get(textIndex));
        for (int32_t i = 0; i < list.Count(); ++i) {
            TQXBlockMem* block = list.Get(i);
            std::string dataName, dataOwner;
            if (BlockKind(block) == BlockTableData && block->Data() && names(block, dataName, dataOwner) &&
                dataName == name && dataOwner == owner)
                blocks.Add()->Assign(*block);
        }
        TTableData* table = AddTable();
        table->SetDataSetCount(0);
        ok = TableDataFromBlocks(*table, blocks, context, reset);
        if (table->GetDataSetCount() == 0) table->AddDataSet();
        list.Delete(textIndex);
    }
    return ok;
}

bool TTypeObjectData::LoadDataSetFromBlocks(const TQXBlockMemList& list, const _BlockContext& context, bool apply) {
    // Everything is looked up first, so that a missing block changes nothing.
    if (!LoadTypeDataSetBlock(*Definition, list, context, false)) return false;
    for (int32_t i = 0; i < Tables->Count(); ++i)
        if (!LoadTableDataSetBlock(*Tables->Get(i), list, context, false)) return false;
    if (!apply) return true;
    LoadTypeDataSetBlock(*Definition, list, context, true);
    for (int32_t i = 0; i < Tables->Count(); ++i) LoadTableDataSetBlock(*Tables->Get(i), list, context, true);
    return true;
}
