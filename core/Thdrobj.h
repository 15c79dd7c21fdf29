// The sectioned container of every binary file of the program: a 14-byte
// ident, a directory of sections keyed by a 16-bit id and sub-id, and the
// payloads back to back. THdrFile keeps a container in a disk file, THdrMem
// in memory, loaded from or bound to a section of a parent container.
//
// Image layout (little-endian): ident[14], uint16 count N, N directory
// entries {uint16 id, uint16 subId, uint32 size}, then the payloads in
// directory order.
//
// A file container is never edited in place: every change writes the whole
// new image under a temporary name beside the file and renames it over the
// old one, so a failed change leaves the file (and the container) as it was.
#pragma once

#include <cstddef>
#include <cstring>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Bytes.h"

constexpr size_t HdrIdentSize = 14;
constexpr size_t HdrEntrySize = 8;
constexpr uint32_t HdrMaxSections = 65535;

// The largest nested image a parent section may hold: every section size is
// a 32-bit number, and a table within the model's limits (255 fields, 65535
// rows, 50 data sets) needs about 3.3 GB, so the only bound is that one.
// What a reader allocates is bounded by the parent's bytes, not by this.
constexpr uint64_t HdrMaxNestedImage = UINT32_MAX;

// The section directory of a container.
class THdrSectList {
public:
    struct Entry {
        uint16_t Id = 0;
        uint16_t SubId = 0;
        uint32_t Size = 0;
    };

    void Clear() { Entries.clear(); }
    int32_t Count() const { return static_cast<int32_t>(Entries.size()); }
    void Delete(int32_t index);
    void Add(uint16_t id, uint16_t subId, uint32_t size) { Entries.push_back({id, subId, size}); }
    // Puts an entry back before index (at the end when index is Count()).
    void Insert(int32_t index, const Entry& entry);
    int32_t IndexOf(uint16_t id, uint16_t subId) const;
    bool Get(int32_t index, uint16_t* id, uint32_t* size, uint16_t* subId) const;
    uint32_t GetSize(int32_t index) const;
    // Sum of the sizes from first up to, not including, last (64 bits).
    uint64_t SumSizes(int32_t first, int32_t last) const;
    // All entries as 8-byte records appended to out; the number written.
    int32_t WriteTo(std::vector<uint8_t>& out) const;
    // Clears, then reads count 8-byte records from the bytes (as many as
    // there are); the number read.
    int32_t ReadFrom(std::span<const uint8_t> bytes, int32_t count);
    const std::vector<Entry>& All() const { return Entries; }

private:
    std::vector<Entry> Entries;
};

// An open file shared between a file container and the memory containers
// loaded from its sections. Our rewrites always go to a new file, so an open
// descriptor keeps showing the bytes it was opened on.
struct THdrFileHandle {
    int Fd = -1;
    explicit THdrFileHandle(int fd) : Fd(fd) {}
    THdrFileHandle(const THdrFileHandle&) = delete;
    THdrFileHandle& operator=(const THdrFileHandle&) = delete;
    ~THdrFileHandle();
    // Exactly len bytes at offset, or false.
    bool ReadAt(uint64_t offset, void* buffer, size_t len) const;
};

class THdrObj {
public:
    THdrObj() = default;
    THdrObj(const THdrObj&) = delete;
    THdrObj& operator=(const THdrObj&) = delete;
    virtual ~THdrObj() = default;

    // Results: 1 success, 0 failure. The base versions do nothing.
    virtual int Open(const std::string& fileName, std::string_view ident);
    virtual int Create(const std::string& fileName, std::string_view ident);
    virtual void Close();
    virtual int CopyFrom(THdrObj* source, std::string_view ident);
    virtual int ReadSection(uint16_t id, uint16_t subId, void* buffer);
    virtual int DeleteSection(uint16_t id, uint16_t subId);
    virtual int WriteSection(uint16_t id, uint16_t subId, uint32_t size, const void* data);
    // 0 both when the parent has no such section and when the section holds
    // no readable image; a caller walking sections by sub-id tells the two
    // apart with FindSection (an unreadable section is an error, not the end).
    virtual int OpenFromSection(THdrObj* parent, uint16_t id, std::string_view ident, uint16_t subId);
    virtual int AttachToSection(THdrObj* parent, uint16_t id, uint16_t subId);

    uint64_t GetHeaderSize() const { return 16 + HdrEntrySize * Sections.All().size(); }
    // Payload offset of the section at index from the start of the image; 0
    // when the index is out of range.
    uint64_t GetSectionOffset(int32_t index) const;
    int32_t FindSection(uint16_t id, uint16_t subId) const { return Sections.IndexOf(id, subId); }
    // Number of sections; -1 when closed.
    int32_t GetSectionCount() const { return IsOpen() ? Sections.Count() : -1; }
    int GetSectionInfo(int32_t index, uint16_t* id, uint32_t* size, uint16_t* subId) const;
    uint64_t GetTotalSize() const { return GetHeaderSize() + Sections.SumSizes(0, Sections.Count()); }
    bool IsOpen() const { return Opened; }
    // The ident up to its first NUL, never beyond its 14 bytes.
    std::string GetIdent() const;
    // ReadSection only when the section exists with exactly that size.
    int ReadSectionFixed(uint16_t id, uint16_t subId, uint32_t expectedSize, void* buffer);
    // A new buffer with the section's payload, or null when it is absent or
    // cannot be read.
    std::unique_ptr<uint8_t[]> ReadSectionAlloc(uint16_t id, uint16_t subId, uint32_t* size);

    // Writes a section whose payload is the given pieces one after the other
    // (the whole image of a nested container without gluing it first).
    virtual int WriteSectionParts(uint16_t id, uint16_t subId, std::span<const std::span<const uint8_t>> parts);
    // WriteSection with a buffer that the container may take over.
    virtual int WriteSectionBuffer(uint16_t id, uint16_t subId, std::vector<uint8_t>&& bytes);
    // len bytes at pos inside the payload of the section at index.
    virtual int ReadSectionPart(int32_t index, uint64_t pos, size_t len, void* buffer);

    // The file and payload offset of a section, when the container lives in
    // a file; memory containers loaded from it read from there on demand.
    virtual bool ShareSectionSource(int32_t index, std::shared_ptr<THdrFileHandle>& file, uint64_t& offset);

protected:
    void SetIdent(std::string_view ident);  // first 13 characters, NUL-padded
    bool IdentMatches(std::string_view ident) const { return ident.empty() || GetIdent() == ident; }
    void WriteHeader(std::vector<uint8_t>& out, const THdrSectList& list) const;

    THdrObj* Parent = nullptr;
    uint16_t ParentId = 0;
    uint16_t ParentSubId = 0;
    bool Opened = false;
    char Ident[HdrIdentSize] = {};
    THdrSectList Sections;

    friend class THdrFile;
    friend class THdrMem;
};

// A container kept in a disk file.
class THdrFile : public THdrObj {
public:
    static constexpr size_t MaxFileName = 511;

    THdrFile() { Close(); }
    ~THdrFile() override { Close(); }

    int Open(const std::string& fileName, std::string_view ident) override;
    int Create(const std::string& fileName, std::string_view ident) override;
    void Close() override;
    int CopyFrom(THdrObj* source, std::string_view ident) override;
    int DeleteSection(uint16_t id, uint16_t subId) override;
    int WriteSectionParts(uint16_t id, uint16_t subId, std::span<const std::span<const uint8_t>> parts) override;
    int ReadSectionPart(int32_t index, uint64_t pos, size_t len, void* buffer) override;
    bool ShareSectionSource(int32_t index, std::shared_ptr<THdrFileHandle>& file, uint64_t& offset) override;

    const std::string& GetFileName() const { return FileName; }

    // How often, and how long apart in milliseconds, a rename that fails
    // because the file is busy is tried again.
    static int RenameRetries;
    static int RenameRetryMs;

private:
    std::string FileName;
    std::shared_ptr<THdrFileHandle> Handle;

    // Writes a new image under a temporary name and renames it over the file:
    // the old directory without the entry at skip (-1: none), the old
    // payloads, then the appended entry and its pieces (when given).
    int Rewrite(int32_t skip, const THdrSectList::Entry* appended, std::span<const std::span<const uint8_t>> parts);
    bool SetFileName(const std::string& fileName);
};

// A container kept in memory.
class THdrMem : public THdrObj {
public:
    THdrMem() { Close(); }
    ~THdrMem() override { Close(); }

    int Open(const std::string& fileName, std::string_view ident) override;
    int Create(const std::string& fileName, std::string_view ident) override;
    void Close() override;
    int CopyFrom(THdrObj* source, std::string_view ident) override;
    int DeleteSection(uint16_t id, uint16_t subId) override;
    int WriteSectionParts(uint16_t id, uint16_t subId, std::span<const std::span<const uint8_t>> parts) override;
    int OpenFromSection(THdrObj* parent, uint16_t id, std::string_view ident, uint16_t subId) override;
    int AttachToSection(THdrObj* parent, uint16_t id, uint16_t subId) override;
    int ReadSectionPart(int32_t index, uint64_t pos, size_t len, void* buffer) override;
    int WriteSectionBuffer(uint16_t id, uint16_t subId, std::vector<uint8_t>&& bytes) override;
    bool ShareSectionSource(int32_t index, std::shared_ptr<THdrFileHandle>& file, uint64_t& offset) override;

    bool IsAttached() const { return Parent != nullptr; }

private:
    // One buffer per section, in directory order. While Backing is set the
    // payloads still lie in the parent's file at BackingBase and are fetched
    // from there on demand; the first change takes them into memory.
    std::vector<std::vector<uint8_t>> Payloads;
    std::shared_ptr<THdrFileHandle> Backing;
    uint64_t BackingBase = 0;

    bool Materialise();
    int FlushToParent();
};
