#include "RegistryMarker.h"

#include <cstdlib>

#include "IniFile.h"

std::string RegistryFilePath() {
    const char* env = std::getenv("QX318_REGISTRY");
    if (env && *env) return env;
    return "/etc/qx318/registry.ini";
}

namespace {

bool LooksTyped(const std::string& v) {
    auto starts = [&](const char* p) { return v.rfind(p, 0) == 0; };
    return starts("dword:") || starts("qword:") || starts("hex:") || starts("hex(");
}

}  // namespace

TRegistryRead ReadRegistryString(const std::string& keyPath, const std::string& name, std::string& value) {
    value.clear();
    TMemIniFile ini;
    if (!ini.LoadFromFile(RegistryFilePath())) return TRegistryRead::NoKey;
    if (!ini.SectionExists(keyPath)) return TRegistryRead::NoKey;
    if (!ini.ValueExists(keyPath, name)) return TRegistryRead::NoValue;
    const std::string v = ini.ReadString(keyPath, name, "");
    if (LooksTyped(v)) return TRegistryRead::NotString;
    value = v;
    return TRegistryRead::String;
}
