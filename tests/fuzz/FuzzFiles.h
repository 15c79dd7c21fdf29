// The two scratch files of a harness that reads its input from a file and
// writes what it read: in /dev/shm when it can, named after the process,
// removed when the process ends.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <string>

struct FuzzFiles {
    std::string Input;
    std::string Output;

    // One instance per harness (a function-local static).
    FuzzFiles(const char* name, const char* extension) {
        const std::string stem = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm/" : "/tmp/") + name + "-" +
                                 std::to_string(getpid());
        Input = stem + extension;
        Output = stem + "-out" + extension;
        // Kept apart from this object, which may be gone when the handler runs.
        Paths() = new std::string[2]{Input, Output};
        std::atexit([] {
            ::unlink(Paths()[0].c_str());
            ::unlink(Paths()[1].c_str());
        });
    }

private:
    static std::string*& Paths() {
        static std::string* paths = nullptr;
        return paths;
    }
};
