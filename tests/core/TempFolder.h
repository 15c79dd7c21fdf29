// A fresh folder under /tmp for each test, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <csignal>

class TempFolderTest : public ::testing::Test {
protected:
    std::filesystem::path dir;
    void SetUp() override {
        char name[] = "/tmp/qxcoreXXXXXX";
        dir = ::mkdtemp(name);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    // Writes the bytes to the named file and gives its path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
        return Path(name);
    }
    size_t FileCount() const {
        return static_cast<size_t>(
            std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()));
    }
};

// Lets writes beyond a file size fail, for as long as it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit now = old_;
        now.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &now);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }

private:
    rlimit old_{};
};
