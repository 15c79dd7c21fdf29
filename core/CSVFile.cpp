#include "CSVFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

#include "IntText.h"
#include "SafeFile.h"
#include "SystemCause.h"

int64_t CSVFieldToInt(const char* field) {
    if (!field) throw EConvertError("missing number");
    const auto value = ReadIntText(field);
    if (!value) throw EConvertError(std::string("'") + field + "' is not a valid integer value");
    return *value;
}

CSVFile::CSVFile(const std::string& fileName, bool write) : WriteMode(write), FileName(fileName) {
    if (write) {
        TempName = TemporaryNameBeside(fileName);
        Output = std::fopen(TempName.c_str(), "wbx");
        if (Output) std::setvbuf(Output, nullptr, _IOFBF, 1 << 16);
        else NoteSystemCause(errno);
    } else {
        Input = std::fopen(fileName.c_str(), "rb");
        struct stat st {};
        if (!Input) {
            NoteSystemCause(errno);
        } else if (::fstat(fileno(Input), &st) != 0 || !S_ISREG(st.st_mode)) {
            // A folder or a device is no CSV file.
            NoteSystemCause(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
            std::fclose(Input);
            Input = nullptr;
        }
    }
}

CSVFile::~CSVFile() { Close(); }

bool CSVFile::Close() {
    if (Input) {
        std::fclose(Input);
        Input = nullptr;
        return true;
    }
    if (!Output) return false;
    // A write that failed before leaves the stream's error set; the flush
    // then fails again with the system's reason.
    errno = 0;
    bool ok = std::fflush(Output) == 0 && !std::ferror(Output) && ::fsync(fileno(Output)) == 0;
    if (!ok) NoteSystemCause(errno != 0 ? errno : EIO);
    if (std::fclose(Output) != 0 && ok) {
        NoteSystemCause(errno);
        ok = false;
    }
    Output = nullptr;
    ok = ok && MoveIntoPlace(TempName, FileName);
    if (!ok) ::unlink(TempName.c_str());
    return ok;
}

void CSVFile::Discard() {
    if (!Output) return;
    // A write that failed on the way gives its cause again when what is left
    // is flushed.
    if (std::ferror(Output) && SystemCause().empty()) Flush();
    std::fclose(Output);
    Output = nullptr;
    ::unlink(TempName.c_str());
}

bool CSVFile::ReadLine() {
    if (WriteMode || !Input) return false;
    CurrentLine.clear();
    LinePos = 0;
    int c = 0;
    bool any = false;
    while ((c = getc_unlocked(Input)) != EOF) {
        any = true;
        if (c == '\n') break;
        CurrentLine += static_cast<char>(c);
    }
    if (!any) {
        // The end of the file: the field read last is no place to go on from
        // (a table read would start over at a marker it has already taken).
        CurrentField = nullptr;
        return false;
    }
    if (!CurrentLine.empty() && CurrentLine.back() == '\r') CurrentLine.pop_back();
    ++LineIndex;
    FieldIndex = -1;
    return true;
}

const char* CSVFile::ReadField() {
    if (WriteMode) return nullptr;
    CurrentField = nullptr;
    if (LinePos >= CurrentLine.size()) return nullptr;
    size_t end = CurrentLine.find(';', LinePos);
    if (end == std::string::npos) end = CurrentLine.size();
    const size_t len = end - LinePos;
    if (len > MaxField) {
        LinePos = CurrentLine.size();  // the rest of the line is lost
        return nullptr;
    }
    std::memcpy(FieldBuffer, CurrentLine.data() + LinePos, len);
    FieldBuffer[len] = '\0';
    LinePos = end + 1;
    ++FieldIndex;
    CurrentField = FieldBuffer;
    return CurrentField;
}

void CSVFile::Rewind() {
    if (!Input) return;
    std::clearerr(Input);
    std::fseek(Input, 0, SEEK_SET);
    // A field of the old position would make the next table read start there.
    CurrentField = nullptr;
    CurrentLine.clear();
    LinePos = 0;
    LineIndex = -1;
    FieldIndex = -1;
}

// The stream belongs to this object alone: it is written without taking
// the stream's lock for every field.
void CSVFile::BeginField() {
    if (FieldIndex != -1) fputc_unlocked(';', Output);
    ++FieldIndex;
    if (LineIndex == -1) LineIndex = 0;
}

void CSVFile::WriteField(const char* text) {
    if (!Output) return;
    BeginField();
    if (text) fputs_unlocked(text, Output);
}

void CSVFile::WriteField(std::string_view text) {
    if (!Output) return;
    BeginField();
    if (!text.empty()) fwrite_unlocked(text.data(), 1, text.size(), Output);
}

void CSVFile::WriteIntField(int32_t value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    WriteField(std::string_view(digits, static_cast<size_t>(end - digits)));
}

void CSVFile::WriteEmptyFields(int32_t n) {
    for (int32_t i = 0; i < n; ++i) WriteField(static_cast<const char*>(nullptr));
}

void CSVFile::EndLine() {
    if (!Output) return;
    fwrite_unlocked("\r\n", 1, 2, Output);
    ++LineIndex;
    FieldIndex = -1;
}

bool CSVFile::Flush() {
    if (!WriteMode || !Output) return false;
    errno = 0;
    if (std::fflush(Output) == 0 && !std::ferror(Output)) return true;
    NoteSystemCause(errno != 0 ? errno : EIO);
    return false;
}
