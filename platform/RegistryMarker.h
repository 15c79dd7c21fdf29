// The read-only machine-wide registry values the program looks at (the
// expert-mode marker), kept as an ini text file: one section per key path
// below HKEY_LOCAL_MACHINE ("Software\KVOZ"), one entry per value. A string
// value is written as it is ("KVOZ=KVOZ"); a value written the way registry
// exports write other types ("dword:00000001", "hex:..." or "hex(n):...")
// is not a string. The program never writes the file.
#pragma once

#include <string>

// The file: $QX318_REGISTRY when set and not empty, else /etc/qx318/registry.ini.
std::string RegistryFilePath();

enum class TRegistryRead {
    NoKey,      // the file or the key's section is missing
    NoValue,    // the key exists, the value does not
    NotString,  // the value exists but is not a string
    String,     // the value is a string, given in value
};

// Reads value name of key path (section names and value names are matched
// without regard to case, as the registry does). value is emptied unless the
// result is String.
TRegistryRead ReadRegistryString(const std::string& keyPath, const std::string& name, std::string& value);
