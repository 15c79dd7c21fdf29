#include "AppFolders.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

namespace {

std::mutex OverrideLock;
std::string ProgramOverride;

std::string EnvText(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

}  // namespace

void SetProgramPathForTests(const std::string& path) {
    std::lock_guard lock(OverrideLock);
    ProgramOverride = path;
}

std::string GetProgramPath() {
    {
        std::lock_guard lock(OverrideLock);
        if (!ProgramOverride.empty()) return ProgramOverride;
    }
    std::error_code ec;
    const auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

std::string ExtractFileName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtractFileDir(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string GetProgramFolder() { return ExtractFileDir(GetProgramPath()); }

std::string ProgramFolderFile(const std::string& name) {
    const std::string folder = GetProgramFolder();
    if (folder.empty() || folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::string ProgramFileWithExt(const std::string& ext) {
    const std::string path = GetProgramPath();
    const std::string name = ExtractFileName(path);
    const size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    return path.substr(0, path.size() - name.size()) + stem + ext;
}

std::string LocalAppDataFolder() {
    std::string data = EnvText("XDG_DATA_HOME");
    if (data.empty()) {
        const std::string home = EnvText("HOME");
        if (home.empty()) return std::string();
        data = home + "/.local/share";
    }
    while (data.size() > 1 && data.back() == '/') data.pop_back();
    return data;
}

std::string SettingsFolder() {
    const std::string data = LocalAppDataFolder();
    if (data.empty()) return std::string();
    return data + "/RztSoftware/QX318 Utility/";
}

bool CreateFolders(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return std::filesystem::is_directory(path, ec);
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}
