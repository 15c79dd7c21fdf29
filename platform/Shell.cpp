#include "Shell.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "IniFile.h"

namespace {

std::mutex HookLock;
std::function<bool(const TStartRequest&)> StartHook;

bool Executable(const std::string& path) { return !path.empty() && access(path.c_str(), X_OK) == 0; }

}  // namespace

void SetStartHookForTests(std::function<bool(const TStartRequest&)> hook) {
    std::lock_guard lock(HookLock);
    StartHook = std::move(hook);
}

std::string FindOnPath(const std::string& name) {
    if (name.find('/') != std::string::npos) return Executable(name) ? name : std::string();
    const char* env = std::getenv("PATH");
    std::string path = env ? env : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        std::string dir = path.substr(start, end - start);
        if (dir.empty()) dir = ".";
        const std::string candidate = dir + "/" + name;
        if (Executable(candidate)) return candidate;
        start = end + 1;
    }
    return std::string();
}

bool StartProgram(const TStartRequest& request) {
    {
        std::lock_guard lock(HookLock);
        if (StartHook) return StartHook(request);
    }
    if (!Executable(request.Program)) return false;

    // Everything the children need is prepared here: between fork and exec
    // only async-signal-safe calls are made.
    std::vector<std::string> args;
    args.push_back(request.Program);
    args.insert(args.end(), request.Arguments.begin(), request.Arguments.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const char* folder = request.WorkingFolder.empty() ? nullptr : request.WorkingFolder.c_str();
    const char* program = request.Program.c_str();

    // Two forks: the grandchild runs the program and is adopted by init, so
    // no zombie is left behind and nobody has to wait for it.
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        setsid();
        const pid_t grandchild = fork();
        if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
        if (folder && chdir(folder) != 0) _exit(127);
        execv(program, argv.data());
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool OpenDocument(const std::string& document, const std::string& folder) {
    TStartRequest request;
    request.Program = FindOnPath("xdg-open");
    if (request.Program.empty()) request.Program = "xdg-open";  // fails to start, unless a test hook takes it
    request.Arguments = {document};
    request.WorkingFolder = folder;
    return StartProgram(request);
}

bool OpenWebShortcut(const std::string& shortcutFile) {
    TMemIniFile ini;
    if (!ini.LoadFromFile(shortcutFile)) return false;
    std::string url = ini.ReadString("InternetShortcut", "URL", "");
    while (!url.empty() && (url.back() == ' ' || url.back() == '\t')) url.pop_back();
    if (url.empty()) return false;
    return OpenDocument(url, std::string());
}
