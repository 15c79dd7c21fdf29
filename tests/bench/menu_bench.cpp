// The menu window on a large menu: 999 items (the root, 40 groups of 24
// items with some deeper ones), 200 InfNot items and 10 languages, its
// default menu of the same shape beside the program. Opening the file in a
// window (loaded, tree built, shown) and each structural command on it with
// the linked default menu repeating it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "AppFolders.h"
#include "Dialogs.h"
#include "Main.h"
#include "QXMenuForm.h"

namespace {

namespace fs = std::filesystem;

constexpr int ItemCount = 999;  // one below the limit, so that an insert is allowed
constexpr int InfNotCount = 200;
constexpr int LanguageCount = 10;

// The parent of item i: items 1..40 are groups under the root, the others
// fill the groups in turn, every fifth one under the item before it.
int ParentOf(int i) {
    if (i <= 40) return 0;
    if (i % 5 == 0) return i - 1;
    return 1 + (i % 40);
}

std::string LargeMenuFile() {
    std::string f = "[General]\r\nLanguages=" + std::to_string(LanguageCount) + "\r\nMenuCount=" +
                    std::to_string(ItemCount) + "\r\nInfNotCount=" + std::to_string(InfNotCount) + "\r\n";
    for (int l = 0; l < LanguageCount; ++l) f += "Language" + std::to_string(l + 1) + "=Lang" + std::to_string(l) + "\r\n";
    f += "[Menu Connections]\r\n";
    for (int i = 0; i < ItemCount; ++i) f += std::to_string(i) + "=" + std::to_string(i ? ParentOf(i) : 0) + "\r\n";
    f += "[InfNot Ranges]\r\n";
    for (int k = 0; k < InfNotCount; ++k) f += std::to_string(k) + "=20\r\n";
    for (int l = 0; l < LanguageCount; ++l) {
        const std::string lang = "Lang" + std::to_string(l);
        f += "[Menu " + lang + "]\r\n";
        for (int i = 0; i < ItemCount; ++i) f += std::to_string(i) + "=Item " + std::to_string(i) + " " + lang + "\r\n";
        f += "[Menu " + lang + " Help]\r\n";
        for (int i = 0; i < ItemCount; ++i) f += std::to_string(i) + "=Help of item " + std::to_string(i) + "\xFF\xFEsecond line\r\n";
        f += "[InfNot " + lang + "]\r\n";
        for (int k = 0; k < InfNotCount; ++k) f += std::to_string(k) + "=Note " + std::to_string(k) + "\r\n";
    }
    f += "[Menu States]\r\n";
    for (int i = 0; i < ItemCount; ++i) f += std::to_string(i) + "=" + (i % 7 == 0 && i ? "1" : "0") + "\r\n";
    return f;
}

struct Setup {
    fs::path Root;
    std::string MenuFile;
    std::unique_ptr<TfrmQX318MainForm> Main;

    Setup() {
        Root = fs::temp_directory_path() / ("qxmenu-bench-" + std::to_string(getpid()));
        fs::create_directories(Root / "bin");
        fs::create_directories(Root / "data");
        const std::string text = LargeMenuFile();
        MenuFile = (Root / "large.mnu").string();
        std::ofstream(MenuFile, std::ios::binary) << text;
        std::ofstream((Root / "bin" / "DefaultMenu.mnu").string(), std::ios::binary) << text;
        SetProgramPathForTests((Root / "bin" / "QX318Utility").string());
        setenv("XDG_DATA_HOME", (Root / "data").c_str(), 1);
        setenv("QX318_REGISTRY", (Root / "registry.ini").c_str(), 1);
        TDialogAnswers::Set<TMessageBoxDialog>([](const TMessageRequest&) { return QMessageBox::Yes; });
        Main = std::make_unique<TfrmQX318MainForm>();
        Main->show();
    }
    ~Setup() {
        Main.reset();
        std::error_code ec;
        fs::remove_all(Root, ec);
    }
};

Setup& Shared() {
    static Setup* setup = new Setup;
    return *setup;
}

void CloseNow(TfrmQXMenu* w) {
    w->Modified = 0;
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_OpenAndShowLargeMenu(benchmark::State& state) {
    Setup& s = Shared();
    for (auto _ : state) {
        TfrmQXMenu* w = OpenQXMenu(&s.Main->App, s.MenuFile);
        w->treeviewMenuItemsStructure->expandAll();
        QCoreApplication::processEvents();  // laid out and painted
        state.PauseTiming();
        if (w->EditedMenu->GetMenuItemCount() != ItemCount) state.SkipWithError("menu not loaded");
        CloseNow(w);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenAndShowLargeMenu)->Unit(benchmark::kMillisecond)->Iterations(5);

// A structural command and the one that undoes it, each timed on its own.
template <typename Do, typename Undo>
void StructureCommand(benchmark::State& state, Do doIt, Undo undo) {
    Setup& s = Shared();
    TfrmQXMenu* w = OpenQXMenu(&s.Main->App, s.MenuFile);
    w->StructureConfirmed = 1;
    w->treeviewMenuItemsStructure->expandAll();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        doIt(w);
        QCoreApplication::processEvents();
        state.PauseTiming();
        undo(w);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    if (w->EditedMenu->GetMenuItemCount() != ItemCount) state.SkipWithError("the commands did not run");
    CloseNow(w);
}

void Select(TfrmQXMenu* w, int32_t item) {
    auto* node = dynamic_cast<QTreeWidgetItem*>(w->EditedMenu->GetTreeNode(item));
    w->treeviewMenuItemsStructure->setCurrentItem(node);
}

void BM_InsertMenuItem(benchmark::State& state) {
    StructureCommand(
        state,
        [](TfrmQXMenu* w) {
            Select(w, 300);
            w->actInsertMenuItem->trigger();
        },
        [](TfrmQXMenu* w) {
            Select(w, 300);
            w->actDeleteMenuItem->trigger();
        });
}
BENCHMARK(BM_InsertMenuItem)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_DeleteMenuItem(benchmark::State& state) {
    StructureCommand(
        state,
        [](TfrmQXMenu* w) {
            Select(w, 300);
            w->actDeleteMenuItem->trigger();
        },
        [](TfrmQXMenu* w) {
            Select(w, 300);
            w->actInsertMenuItem->trigger();
        });
}
BENCHMARK(BM_DeleteMenuItem)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_AddChildMenuItem(benchmark::State& state) {
    StructureCommand(
        state,
        [](TfrmQXMenu* w) {
            Select(w, 12);
            w->actAddChildMenuItem->trigger();
        },
        [](TfrmQXMenu* w) {
            Select(w, w->EditedMenu->GetMenuItemCount() - 1);
            w->actDeleteMenuItem->trigger();
        });
}
BENCHMARK(BM_AddChildMenuItem)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ToggleVisibleOfTheRoot(benchmark::State& state) {
    StructureCommand(
        state,
        [](TfrmQXMenu* w) {
            Select(w, 0);
            w->actToggleVisible->trigger();
        },
        [](TfrmQXMenu*) {});
}
BENCHMARK(BM_ToggleVisibleOfTheRoot)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_InsertInfNotItem(benchmark::State& state) {
    StructureCommand(
        state,
        [](TfrmQXMenu* w) {
            w->PageControl->setCurrentIndex(1);
            w->strgrdInfNotData->setCurrentCell(100, 1);
            w->actInsertInfNotItem->trigger();
        },
        [](TfrmQXMenu* w) {
            w->strgrdInfNotData->setCurrentCell(100, 1);
            w->actDeleteInfNotItem->trigger();
        });
}
BENCHMARK(BM_InsertInfNotItem)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete &Shared();
    return 0;
}
