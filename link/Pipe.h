// The anonymous pipes between the link's threads: messages go in with one
// write, so a reader that sees the first byte finds the rest there too.
#pragma once

#include <cstddef>
#include <cstdint>

// Creates a pipe (close-on-exec); throws std::system_error when the system refuses.
void PipeCreate(int fds[2], bool nonBlockingRead, bool nonBlockingWrite);
void PipeClose(int fds[2]);
// Reads and drops whatever is in a non-blocking read end.
void PipeDiscard(int fd);
// Writes all n bytes (a blocking write end); false on a failure.
bool PipeWriteAll(int fd, const uint8_t* bytes, size_t n);
// Reads n bytes that were written in one go; waits up to 100 ms for a
// straggler on a non-blocking end. False when they do not come.
bool PipeReadAll(int fd, uint8_t* bytes, size_t n);
