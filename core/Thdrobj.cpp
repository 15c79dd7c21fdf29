#include "Thdrobj.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <new>
#include <thread>

#include "SafeFile.h"
#include "SystemCause.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    uint8_t b[2];
    LePut16(b, v);
    out.insert(out.end(), b, b + 2);
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t b[4];
    LePut32(b, v);
    out.insert(out.end(), b, b + 4);
}

uint64_t PartsSize(std::span<const std::span<const uint8_t>> parts) {
    uint64_t total = 0;
    for (const auto& p : parts) total += p.size();
    return total;
}

// Buffered writing to a descriptor; large pieces go straight through.
class FdWriter {
public:
    explicit FdWriter(int fd) : Fd(fd) { Buffer.reserve(Capacity); }
    bool Write(const void* data, size_t len) {
        if (!Ok) return false;
        if (Buffer.size() + len > Capacity) {
            if (!Flush()) return false;
            if (len >= Capacity) return WriteAll(static_cast<const uint8_t*>(data), len);
        }
        const auto* p = static_cast<const uint8_t*>(data);
        Buffer.insert(Buffer.end(), p, p + len);
        return true;
    }
    int Descriptor() const { return Fd; }
    bool Flush() {
        if (Ok && !Buffer.empty()) WriteAll(Buffer.data(), Buffer.size());
        Buffer.clear();
        return Ok;
    }

private:
    static constexpr size_t Capacity = 1 << 20;
    int Fd;
    bool Ok = true;
    std::vector<uint8_t> Buffer;

    bool WriteAll(const uint8_t* p, size_t len) {
        while (len > 0) {
            const ssize_t n = ::write(Fd, p, len);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return Ok = false;
            p += n;
            len -= static_cast<size_t>(n);
        }
        return true;
    }
};

// Copies the payload of one section of a container in chunks.
bool CopySection(THdrObj& from, int32_t index, uint32_t size, FdWriter& to) {
    // A section in a file is copied by the kernel, file to file.
    std::shared_ptr<THdrFileHandle> file;
    uint64_t offset = 0;
    if (size > 0 && from.ShareSectionSource(index, file, offset) && to.Flush()) {
        auto in = static_cast<off_t>(offset);
        uint64_t left = size;
        while (left > 0) {
            const ssize_t n = ::copy_file_range(file->Fd, &in, to.Descriptor(), nullptr, left, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            left -= static_cast<uint64_t>(n);
        }
        if (left == 0) return true;
        if (left != size) return false;  // failed half-way: the output is not where it should be
    }
    static constexpr size_t Chunk = 1 << 20;
    std::vector<uint8_t> buffer(std::min<size_t>(Chunk, size));
    uint64_t done = 0;
    while (done < size) {
        const size_t len = static_cast<size_t>(std::min<uint64_t>(Chunk, size - done));
        if (!from.ReadSectionPart(index, done, len, buffer.data())) return false;
        if (!to.Write(buffer.data(), len)) return false;
        done += len;
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace

// ---------------------------------------------------------------- directory

void THdrSectList::Delete(int32_t index) {
    if (index < 0 || index >= Count()) return;
    Entries.erase(Entries.begin() + index);
}

void THdrSectList::Insert(int32_t index, const Entry& entry) {
    if (index < 0 || index > Count()) return;
    Entries.insert(Entries.begin() + index, entry);
}

int32_t THdrSectList::IndexOf(uint16_t id, uint16_t subId) const {
    for (size_t i = 0; i < Entries.size(); ++i)
        if (Entries[i].Id == id && Entries[i].SubId == subId) return static_cast<int32_t>(i);
    return -1;
}

bool THdrSectList::Get(int32_t index, uint16_t* id, uint32_t* size, uint16_t* subId) const {
    if (index < 0 || index >= Count()) return false;
    const Entry& e = Entries[static_cast<size_t>(index)];
    if (id) *id = e.Id;
    if (size) *size = e.Size;
    if (subId) *subId = e.SubId;
    return true;
}

uint32_t THdrSectList::GetSize(int32_t index) const {
    if (index < 0 || index >= Count()) return 0;
    return Entries[static_cast<size_t>(index)].Size;
}

uint64_t THdrSectList::SumSizes(int32_t first, int32_t last) const {
    if (first < 0) first = 0;
    if (last > Count()) last = Count();
    uint64_t sum = 0;
    for (int32_t i = first; i < last; ++i) sum += Entries[static_cast<size_t>(i)].Size;
    return sum;
}

int32_t THdrSectList::WriteTo(std::vector<uint8_t>& out) const {
    for (const Entry& e : Entries) {
        Put16(out, e.Id);
        Put16(out, e.SubId);
        Put32(out, e.Size);
    }
    return Count();
}

int32_t THdrSectList::ReadFrom(std::span<const uint8_t> bytes, int32_t count) {
    Entries.clear();
    if (count <= 0) return 0;
    const size_t n = std::min(static_cast<size_t>(count), bytes.size() / HdrEntrySize);
    Entries.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* p = bytes.data() + HdrEntrySize * i;
        Entries.push_back({LeGet16(p), LeGet16(p + 2), LeGet32(p + 4)});
    }
    return static_cast<int32_t>(n);
}

// ---------------------------------------------------------------- file handle

THdrFileHandle::~THdrFileHandle() {
    if (Fd >= 0) ::close(Fd);
}

bool THdrFileHandle::ReadAt(uint64_t offset, void* buffer, size_t len) const {
    auto* p = static_cast<uint8_t*>(buffer);
    while (len > 0) {
        if (offset > static_cast<uint64_t>(INT64_MAX)) return false;
        const ssize_t n = ::pread(Fd, p, len, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) NoteSystemCause(errno);
        if (n <= 0) return false;
        p += n;
        len -= static_cast<size_t>(n);
        offset += static_cast<uint64_t>(n);
    }
    return true;
}

// ---------------------------------------------------------------- base

int THdrObj::Open(const std::string&, std::string_view) { return 0; }
int THdrObj::Create(const std::string&, std::string_view) { return 0; }
void THdrObj::Close() {}
int THdrObj::CopyFrom(THdrObj*, std::string_view) { return 0; }
// Both variants read and write whole sections through their part operations.
int THdrObj::ReadSection(uint16_t id, uint16_t subId, void* buffer) {
    const int32_t index = FindSection(id, subId);
    if (!IsOpen() || index < 0) return 0;
    return ReadSectionPart(index, 0, Sections.GetSize(index), buffer);
}
int THdrObj::DeleteSection(uint16_t, uint16_t) { return 0; }
int THdrObj::WriteSection(uint16_t id, uint16_t subId, uint32_t size, const void* data) {
    if (size > 0 && !data) return 0;
    const std::span<const uint8_t> part(static_cast<const uint8_t*>(data), size);
    return WriteSectionParts(id, subId, std::span<const std::span<const uint8_t>>(&part, 1));
}
int THdrObj::OpenFromSection(THdrObj*, uint16_t, std::string_view, uint16_t) { return 0; }
int THdrObj::AttachToSection(THdrObj*, uint16_t, uint16_t) { return 0; }
int THdrObj::WriteSectionParts(uint16_t, uint16_t, std::span<const std::span<const uint8_t>>) { return 0; }
int THdrObj::WriteSectionBuffer(uint16_t id, uint16_t subId, std::vector<uint8_t>&& bytes) {
    if (bytes.size() > UINT32_MAX) return 0;
    return WriteSection(id, subId, static_cast<uint32_t>(bytes.size()), bytes.data());
}
int THdrObj::ReadSectionPart(int32_t, uint64_t, size_t, void*) { return 0; }
bool THdrObj::ShareSectionSource(int32_t, std::shared_ptr<THdrFileHandle>&, uint64_t&) { return false; }

uint64_t THdrObj::GetSectionOffset(int32_t index) const {
    if (index < 0 || index >= Sections.Count()) return 0;
    return GetHeaderSize() + Sections.SumSizes(0, index);
}

int THdrObj::GetSectionInfo(int32_t index, uint16_t* id, uint32_t* size, uint16_t* subId) const {
    if (!IsOpen()) return 0;
    return Sections.Get(index, id, size, subId) ? 1 : 0;
}

std::string THdrObj::GetIdent() const { return std::string(Ident, ::strnlen(Ident, HdrIdentSize)); }

void THdrObj::SetIdent(std::string_view ident) {
    std::memset(Ident, 0, sizeof Ident);
    std::memcpy(Ident, ident.data(), std::min(ident.size(), HdrIdentSize - 1));
}

void THdrObj::WriteHeader(std::vector<uint8_t>& out, const THdrSectList& list) const {
    out.insert(out.end(), Ident, Ident + HdrIdentSize);
    Put16(out, static_cast<uint16_t>(list.Count()));
    list.WriteTo(out);
}

int THdrObj::ReadSectionFixed(uint16_t id, uint16_t subId, uint32_t expectedSize, void* buffer) {
    const int32_t index = FindSection(id, subId);
    if (index < 0 || Sections.GetSize(index) != expectedSize) return 0;
    return ReadSection(id, subId, buffer);
}

std::unique_ptr<uint8_t[]> THdrObj::ReadSectionAlloc(uint16_t id, uint16_t subId, uint32_t* size) {
    const int32_t index = FindSection(id, subId);
    if (index < 0) return nullptr;
    const uint32_t n = Sections.GetSize(index);
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[n ? n : 1]);
    if (!buffer || !ReadSectionPart(index, 0, n, buffer.get())) return nullptr;
    if (size) *size = n;
    return buffer;
}

// ---------------------------------------------------------------- file container

int THdrFile::RenameRetries = 3;
int THdrFile::RenameRetryMs = 500;

bool THdrFile::SetFileName(const std::string& fileName) {
    if (fileName.empty() || fileName.size() > MaxFileName) return false;
    FileName = fileName;
    return true;
}

void THdrFile::Close() {
    Handle.reset();
    Sections.Clear();
    Opened = false;
}

int THdrFile::Open(const std::string& fileName, std::string_view ident) {
    const std::string name = fileName;  // fileName may be our own FileName
    const std::string wanted(ident);
    Close();
    if (!SetFileName(name)) return 0;
    const int fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        NoteSystemCause(errno);
        return 0;
    }
    auto handle = std::make_shared<THdrFileHandle>(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        NoteSystemCause(errno);
        return 0;
    }
    if (!S_ISREG(st.st_mode)) {
        NoteSystemCause(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        return 0;
    }
    const uint64_t fileSize = static_cast<uint64_t>(st.st_size);
    uint8_t head[16];
    if (fileSize < sizeof head || !handle->ReadAt(0, head, sizeof head)) return 0;
    std::memcpy(Ident, head, HdrIdentSize);
    if (!IdentMatches(wanted)) return 0;
    const uint32_t count = LeGet16(head + 14);
    const uint64_t headerSize = 16 + HdrEntrySize * count;
    if (headerSize > fileSize) return 0;
    std::vector<uint8_t> directory(HdrEntrySize * count);
    if (!handle->ReadAt(16, directory.data(), directory.size())) return 0;
    Sections.ReadFrom(directory, static_cast<int32_t>(count));
    if (GetTotalSize() != fileSize) {
        Sections.Clear();
        return 0;
    }
    Handle = std::move(handle);
    Opened = true;
    return 1;
}

int THdrFile::Create(const std::string& fileName, std::string_view ident) {
    const std::string name = fileName;
    const std::string wanted(ident);
    Close();
    if (!SetFileName(name)) return 0;
    SetIdent(wanted);
    std::vector<uint8_t> image;
    WriteHeader(image, THdrSectList());
    if (!ReplaceFileContents(FileName, std::string_view(reinterpret_cast<const char*>(image.data()), image.size())))
        return 0;
    return Open(FileName, GetIdent());
}

int THdrFile::ReadSectionPart(int32_t index, uint64_t pos, size_t len, void* buffer) {
    if (!IsOpen() || index < 0 || index >= Sections.Count()) return 0;
    const uint64_t size = Sections.GetSize(index);
    if (pos > size || len > size - pos) return 0;
    if (len == 0) return 1;
    return Handle->ReadAt(GetSectionOffset(index) + pos, buffer, len) ? 1 : 0;
}

bool THdrFile::ShareSectionSource(int32_t index, std::shared_ptr<THdrFileHandle>& file, uint64_t& offset) {
    if (!IsOpen() || index < 0 || index >= Sections.Count()) return false;
    file = Handle;
    offset = GetSectionOffset(index);
    return true;
}

namespace {

// Writes a complete image under a fresh temporary name beside path and
// renames it over path. The descriptor of the new file, or -1; on failure
// the temporary file is gone and path is as it was.
int WriteImageBeside(const std::string& path, const std::vector<uint8_t>& header,
                     const std::function<bool(FdWriter&)>& payloads, int retries, int retryMs) {
    mode_t mode = 0644;
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) {
        if (!S_ISREG(old.st_mode)) {
            NoteSystemCause(S_ISDIR(old.st_mode) ? EISDIR : EINVAL);
            return -1;
        }
        mode = old.st_mode & 07777;
    }
    const std::string temp = TemporaryNameBeside(path);
    const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        NoteSystemCause(errno);
        return -1;
    }
    FdWriter out(fd);
    bool ok = out.Write(header.data(), header.size()) && payloads(out) && out.Flush() && ::fsync(fd) == 0;
    if (ok) {
        for (int attempt = 0;; ++attempt) {
            if (std::rename(temp.c_str(), path.c_str()) == 0) break;
            const bool busy = errno == EBUSY || errno == ETXTBSY || errno == EAGAIN;
            if (!busy || attempt >= retries) {
                NoteSystemCause(errno);
                ok = false;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(retryMs));
        }
    }
    if (!ok) {
        ::close(fd);
        ::unlink(temp.c_str());
        return -1;
    }
    const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return fd;
}

}  // namespace

int THdrFile::Rewrite(int32_t skip, const THdrSectList::Entry* appended,
                      std::span<const std::span<const uint8_t>> parts) {
    if (!IsOpen()) return 0;
    THdrSectList list = Sections;
    list.Delete(skip);
    if (appended) {
        if (PartsSize(parts) != appended->Size) return 0;
        list.Add(appended->Id, appended->SubId, appended->Size);
    }
    if (static_cast<uint32_t>(list.Count()) > HdrMaxSections) return 0;
    std::vector<uint8_t> header;
    WriteHeader(header, list);
    const auto payloads = [&](FdWriter& out) {
        for (int32_t i = 0; i < Sections.Count(); ++i)
            if (i != skip && !CopySection(*this, i, Sections.GetSize(i), out)) return false;
        for (const auto& p : parts)
            if (!out.Write(p.data(), p.size())) return false;
        return true;
    };
    const int fd = WriteImageBeside(FileName, header, payloads, RenameRetries, RenameRetryMs);
    if (fd < 0) return 0;
    Handle = std::make_shared<THdrFileHandle>(fd);
    Sections = std::move(list);
    return 1;
}

int THdrFile::DeleteSection(uint16_t id, uint16_t subId) {
    const int32_t index = FindSection(id, subId);
    if (!IsOpen() || index < 0) return 0;
    return Rewrite(index, nullptr, {});
}

int THdrFile::WriteSectionParts(uint16_t id, uint16_t subId, std::span<const std::span<const uint8_t>> parts) {
    if (!IsOpen()) return 0;
    const uint64_t size = PartsSize(parts);
    if (size > UINT32_MAX) return 0;
    const THdrSectList::Entry entry{id, subId, static_cast<uint32_t>(size)};
    // The old section, when there is one, is left out of the same rewrite.
    return Rewrite(FindSection(id, subId), &entry, parts);
}

int THdrFile::CopyFrom(THdrObj* source, std::string_view ident) {
    if (!source || !source->IsOpen() || !source->IdentMatches(ident) || FileName.empty()) return 0;
    if (static_cast<uint32_t>(source->Sections.Count()) > HdrMaxSections) return 0;
    const THdrSectList list = source->Sections;
    SetIdent(GetIdent());  // the file is created anew: at most 13 characters, byte 13 zero
    std::vector<uint8_t> header;
    WriteHeader(header, list);
    const auto payloads = [&](FdWriter& out) {
        for (int32_t i = 0; i < list.Count(); ++i)
            if (!CopySection(*source, i, list.GetSize(i), out)) return false;
        return true;
    };
    const int fd = WriteImageBeside(FileName, header, payloads, RenameRetries, RenameRetryMs);
    Close();
    if (fd < 0) return 0;
    Handle = std::make_shared<THdrFileHandle>(fd);
    Sections = list;
    Opened = true;
    return 1;
}

// ---------------------------------------------------------------- memory container

void THdrMem::Close() {
    std::vector<std::vector<uint8_t>>().swap(Payloads);
    Backing.reset();
    BackingBase = 0;
    Parent = nullptr;
    ParentId = ParentSubId = 0;
    Sections.Clear();
    Opened = false;
}

int THdrMem::Open(const std::string&, std::string_view) { return 0; }

int THdrMem::Create(const std::string&, std::string_view ident) {
    const std::string wanted(ident);
    Close();
    SetIdent(wanted);
    Opened = true;
    return 1;
}

bool THdrMem::Materialise() {
    if (!Backing) return true;
    std::vector<std::vector<uint8_t>> payloads(static_cast<size_t>(Sections.Count()));
    uint64_t at = BackingBase;
    try {
        for (size_t i = 0; i < payloads.size(); ++i) {
            const uint32_t n = Sections.All()[i].Size;
            payloads[i].resize(n);
            if (n > 0 && !Backing->ReadAt(at, payloads[i].data(), n)) return false;
            at += n;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    Payloads = std::move(payloads);
    Backing.reset();
    return true;
}

int THdrMem::ReadSectionPart(int32_t index, uint64_t pos, size_t len, void* buffer) {
    if (!IsOpen() || index < 0 || index >= Sections.Count()) return 0;
    const uint64_t size = Sections.GetSize(index);
    if (pos > size || len > size - pos) return 0;
    if (len == 0) return 1;
    if (Backing) return Backing->ReadAt(BackingBase + Sections.SumSizes(0, index) + pos, buffer, len) ? 1 : 0;
    std::memcpy(buffer, Payloads[static_cast<size_t>(index)].data() + pos, len);
    return 1;
}

bool THdrMem::ShareSectionSource(int32_t index, std::shared_ptr<THdrFileHandle>& file, uint64_t& offset) {
    if (!IsOpen() || !Backing || index < 0 || index >= Sections.Count()) return false;
    file = Backing;
    offset = BackingBase + Sections.SumSizes(0, index);
    return true;
}

int THdrMem::DeleteSection(uint16_t id, uint16_t subId) {
    const int32_t index = FindSection(id, subId);
    if (!IsOpen() || index < 0 || !Materialise()) return 0;
    const THdrSectList::Entry entry = Sections.All()[static_cast<size_t>(index)];
    std::vector<uint8_t> removed = std::move(Payloads[static_cast<size_t>(index)]);
    Payloads.erase(Payloads.begin() + index);
    Sections.Delete(index);
    if (!IsAttached() || FlushToParent()) return 1;
    // The parent kept its old image: so does this container.
    Payloads.insert(Payloads.begin() + index, std::move(removed));
    Sections.Insert(index, entry);
    return 0;
}

int THdrMem::WriteSectionParts(uint16_t id, uint16_t subId, std::span<const std::span<const uint8_t>> parts) {
    const uint64_t size = PartsSize(parts);
    if (size > UINT32_MAX) return 0;
    std::vector<uint8_t> bytes;
    try {
        bytes.reserve(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    for (const auto& p : parts) bytes.insert(bytes.end(), p.begin(), p.end());
    return WriteSectionBuffer(id, subId, std::move(bytes));
}

int THdrMem::WriteSectionBuffer(uint16_t id, uint16_t subId, std::vector<uint8_t>&& bytes) {
    if (!IsOpen() || bytes.size() > UINT32_MAX) return 0;
    const int32_t old = FindSection(id, subId);
    if (old < 0 && static_cast<uint32_t>(Sections.Count()) >= HdrMaxSections) return 0;
    if (!Materialise()) return 0;
    THdrSectList::Entry oldEntry;
    std::vector<uint8_t> oldBytes;
    if (old >= 0) {
        oldEntry = Sections.All()[static_cast<size_t>(old)];
        oldBytes = std::move(Payloads[static_cast<size_t>(old)]);
        Payloads.erase(Payloads.begin() + old);
        Sections.Delete(old);
    }
    Sections.Add(id, subId, static_cast<uint32_t>(bytes.size()));
    Payloads.push_back(std::move(bytes));
    if (!IsAttached() || FlushToParent()) return 1;
    // The parent kept its old image: so does this container.
    Payloads.pop_back();
    Sections.Delete(Sections.Count() - 1);
    if (old >= 0) {
        Payloads.insert(Payloads.begin() + old, std::move(oldBytes));
        Sections.Insert(old, oldEntry);
    }
    return 0;
}

int THdrMem::CopyFrom(THdrObj* source, std::string_view ident) {
    if (!source || source == this || !source->IsOpen() || !source->IdentMatches(ident)) return 0;
    const THdrSectList list = source->Sections;
    Close();
    try {
        Payloads.resize(static_cast<size_t>(list.Count()));
        for (int32_t i = 0; i < list.Count(); ++i) {
            auto& bytes = Payloads[static_cast<size_t>(i)];
            bytes.resize(list.GetSize(i));
            if (!source->ReadSectionPart(i, 0, bytes.size(), bytes.data())) {
                Close();
                return 0;
            }
        }
    } catch (const std::bad_alloc&) {
        Close();
        return 0;
    }
    Sections = list;
    Opened = true;
    return 1;
}

int THdrMem::OpenFromSection(THdrObj* parent, uint16_t id, std::string_view ident, uint16_t subId) {
    if (!parent || parent == this || !parent->IsOpen()) return 0;
    const int32_t index = parent->FindSection(id, subId);
    if (index < 0) return 0;
    const std::string wanted(ident);
    Close();
    const uint64_t size = parent->Sections.GetSize(index);
    if (size < 16 || size > HdrMaxNestedImage) return 0;
    uint8_t head[16];
    if (!parent->ReadSectionPart(index, 0, sizeof head, head)) return 0;
    std::memcpy(Ident, head, HdrIdentSize);
    if (!IdentMatches(wanted)) return 0;
    const uint32_t count = LeGet16(head + 14);
    const uint64_t headerSize = 16 + HdrEntrySize * count;
    if (headerSize > size) return 0;
    std::vector<uint8_t> directory(HdrEntrySize * count);
    if (!parent->ReadSectionPart(index, 16, directory.size(), directory.data())) return 0;
    Sections.ReadFrom(directory, static_cast<int32_t>(count));
    if (headerSize + Sections.SumSizes(0, Sections.Count()) > size) {
        Close();
        return 0;
    }
    std::shared_ptr<THdrFileHandle> file;
    uint64_t offset = 0;
    if (parent->ShareSectionSource(index, file, offset)) {
        Backing = std::move(file);
        BackingBase = offset + headerSize;
    } else {
        try {
            Payloads.resize(static_cast<size_t>(Sections.Count()));
            uint64_t at = headerSize;
            for (int32_t i = 0; i < Sections.Count(); ++i) {
                auto& bytes = Payloads[static_cast<size_t>(i)];
                bytes.resize(Sections.GetSize(i));
                if (!parent->ReadSectionPart(index, at, bytes.size(), bytes.data())) {
                    Close();
                    return 0;
                }
                at += bytes.size();
            }
        } catch (const std::bad_alloc&) {
            Close();
            return 0;
        }
    }
    Parent = parent;
    ParentId = id;
    ParentSubId = subId;
    Opened = true;
    return 1;
}

int THdrMem::AttachToSection(THdrObj* parent, uint16_t id, uint16_t subId) {
    if (!IsOpen() || !parent || parent == this || !parent->IsOpen() || !Materialise()) return 0;
    Parent = parent;
    ParentId = id;
    ParentSubId = subId;
    if (FlushToParent()) return 1;
    Parent = nullptr;
    ParentId = ParentSubId = 0;
    return 0;
}

int THdrMem::FlushToParent() {
    if (!Parent || !Materialise()) return 0;
    std::vector<uint8_t> header;
    WriteHeader(header, Sections);
    if (GetTotalSize() > UINT32_MAX) return 0;
    std::vector<std::span<const uint8_t>> parts;
    parts.reserve(Payloads.size() + 1);
    parts.emplace_back(header);
    for (const auto& p : Payloads) parts.emplace_back(p);
    return Parent->WriteSectionParts(ParentId, ParentSubId, parts);
}
