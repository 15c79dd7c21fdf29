// The cause the system gave for a failed file or device call, kept on the
// failing thread where the call failed, so that the window that reports the
// failure can add it to its message (the way errno itself travels, but not
// overwritten by the calls that clean up after the failure).
#pragma once

#include <string>

// Keeps the system's text for error (an errno value) as this thread's cause.
// The text is the system's English one ("Not a directory"), whatever the
// locale, as the message table's texts are.
void NoteSystemCause(int error);
// Keeps a cause of our own where no system call gave one.
void NoteSystemCause(const std::string& cause);
// Forgets this thread's cause; done before an operation whose failure is to
// be reported with its cause.
void ClearSystemCause();
// This thread's cause since the last clear; empty when none was kept.
const std::string& SystemCause();

// The system's English text for an errno value.
std::string SystemErrorText(int error);

// A message with the cause as its last line ("\r\n" between them, as the
// message table breaks its own lines); the message alone when there is no
// cause.
std::string MessageWithCause(const std::string& message, const std::string& cause);
