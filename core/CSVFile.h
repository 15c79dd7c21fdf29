// Semicolon-separated text files of types and tables: one record per line,
// fields up to the next ';' or the end of the line, no quoting. Read field by
// field after a line was read, or written field by field and ended line by
// line (CR LF). A file being written lands under its name only when it is
// complete: it is written beside it and renamed over it by Close.
#pragma once

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

// A field that should hold a number and does not.
struct EConvertError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The number of a field (the one integer-text reader); a missing or
// non-numeric field throws EConvertError.
int64_t CSVFieldToInt(const char* field);

class CSVFile {
public:
    static constexpr size_t MaxField = 255;

    CSVFile(const std::string& fileName, bool write);
    CSVFile(const CSVFile&) = delete;
    CSVFile& operator=(const CSVFile&) = delete;
    ~CSVFile();

    bool IsOpen() const { return WriteMode ? Output != nullptr : Input != nullptr; }

    // Reading.
    bool ReadLine();
    const char* ReadField();
    // The field read last; kept across ReadLine, forgotten at the end of the file.
    const char* GetCurrentField() const { return WriteMode ? nullptr : CurrentField; }
    void Rewind();

    // Writing.
    void WriteField(const char* text);
    void WriteField(std::string_view text);
    void WriteIntField(int32_t value);
    void WriteEmptyFields(int32_t n);
    void EndLine();
    bool Flush();
    // True while every write so far succeeded.
    bool Good() const { return Output != nullptr && !std::ferror(Output); }
    // Write mode: flushes the file, puts it in place under its name and
    // reports whether all of it got there. Read mode: closes the file.
    bool Close();
    // Write mode: drops what was written; the file of that name stays as it
    // was.
    void Discard();

    int32_t GetFieldIndex() const { return FieldIndex; }
    int32_t GetLineIndex() const { return LineIndex; }

private:
    bool WriteMode;
    std::string FileName;
    std::string TempName;
    std::FILE* Input = nullptr;
    std::FILE* Output = nullptr;
    char FieldBuffer[MaxField + 1] = {};
    const char* CurrentField = nullptr;
    std::string CurrentLine;
    size_t LinePos = 0;
    int32_t FieldIndex = -1;
    int32_t LineIndex = -1;

    void BeginField();
};
