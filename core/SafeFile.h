// Whole-file reading and safe replacement of files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Writes the bytes to a temporary file in the same folder (its name never
// equals the target's), flushes and closes it, then renames it over the
// target. On failure the old file is left as it was, the temporary file is
// removed and the reason lands in *error when given.
bool ReplaceFileContents(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// True when path names a regular file; otherwise false, with the reason
// kept as the thread's cause (SystemCause.h). Every failure of the functions
// here keeps the system's reason so.
bool IsRegularFile(const std::string& path);

// The whole file, or nothing when it cannot be read or is larger than limit.
std::optional<std::string> ReadWholeFile(const std::string& path, uint64_t limit = UINT64_MAX);

// Puts a complete temporary file in place of path: refuses a path that is
// there but is no regular file (a folder, a device), keeps the old file's
// permissions, renames, and makes the rename durable. The temporary file is
// left for the caller to remove on failure.
bool MoveIntoPlace(const std::string& temp, const std::string& path);

// The name of a fresh temporary file in the folder of path (not created).
std::string TemporaryNameBeside(const std::string& path);
