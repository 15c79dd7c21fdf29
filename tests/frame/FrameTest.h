// What the frame's widget tests share: one QApplication per test program,
// and a fixture with a program folder, a settings folder and a registry file
// of its own, whose message boxes and open dialogs are answered here.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QScreen>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "AppFolders.h"
#include "Dialogs.h"
#include "MDICustomChild.h"
#include "Shell.h"
#include "settings/SettingsBytes.h"

namespace fs = std::filesystem;

inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "frame_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

inline std::string ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

inline void WriteFileBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class FrameFixture : public ::testing::Test {
protected:
    fs::path Root, ProgramDir, DataDir, RegistryFile;
    std::vector<TMessageRequest> Messages;
    std::vector<TOpenDialogRequest> OpenDialogs;
    std::vector<TStartRequest> Starts;
    // The file the next open dialog chooses; empty: the dialog is cancelled.
    std::string ChosenFile;
    int ChosenFilter = 1;

    void SetUp() override {
        TestApplication();
        static int counter = 0;
        Root = fs::temp_directory_path() / ("qxframe-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
        ProgramDir = Root / "bin";
        DataDir = Root / "data";
        RegistryFile = Root / "registry.ini";
        fs::create_directories(ProgramDir);
        fs::create_directories(DataDir);
        SetProgramPathForTests((ProgramDir / "QX318Utility").string());
        setenv("XDG_DATA_HOME", DataDir.c_str(), 1);
        setenv("QX318_REGISTRY", RegistryFile.c_str(), 1);
        TDialogAnswers::Set<TMessageBoxDialog>([this](const TMessageRequest& r) {
            Messages.push_back(r);
            return r.Buttons == TMsgButtons::Ok ? QMessageBox::Ok : QMessageBox::Yes;
        });
        TDialogAnswers::Set<TOpenFileDialog>([this](const TOpenDialogRequest& r, std::string& name, int& filter) {
            OpenDialogs.push_back(r);
            if (ChosenFile.empty()) return false;
            name = ChosenFile;
            filter = ChosenFilter;
            return true;
        });
        SetStartHookForTests([this](const TStartRequest& r) {
            Starts.push_back(r);
            return true;
        });
    }

    void TearDown() override {
        TDialogAnswers::Clear<TMessageBoxDialog>();
        TDialogAnswers::Clear<TOpenFileDialog>();
        SetStartHookForTests(nullptr);
        DocumentCreators() = TDocumentCreators();
        SetProgramPathForTests("");
        unsetenv("QX318_REGISTRY");
        std::error_code ec;
        fs::remove_all(Root, ec);
    }

    fs::path SettingsDir() const { return DataDir / "RztSoftware" / "QX318 Utility"; }
    fs::path CfgPath() const { return SettingsDir() / "QX318Utility.cfg"; }
    void WriteRegistry(const std::string& text) { WriteFileBytes(RegistryFile, text); }
    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const auto& m : Messages) texts.push_back(m.Text);
        return texts;
    }
};

inline bool ScreenIs800x800() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s && s->size() == QSize(800, 800);
}
