// What the menu window tests share: a main window in a program folder of
// its own with a small default menu written out by hand, message boxes,
// input boxes and save dialogs answered from scripts, and key presses sent
// to the real widgets.
#pragma once

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTableWidget>
#include <QTreeWidget>
#include <deque>
#include <memory>

#include "../frame/FrameTest.h"
#include "Main.h"
#include "QXMenuDialogs.h"
#include "QXMenuForm.h"
#include "QtText.h"
#include "TreeWidgetNodes.h"

// Five items (Main; Settings with Contrast and Volume; Info), two InfNot
// items with ranges 20 and 5, languages English and Deutsch; Volume hidden.
inline const char* TestDefaultMenu =
    "[General]\r\nLanguages=2\r\nMenuCount=5\r\nInfNotCount=2\r\nLanguage1=English\r\nLanguage2=Deutsch\r\n"
    "[Menu Connections]\r\n0=0\r\n1=0\r\n2=1\r\n3=1\r\n4=0\r\n"
    "[InfNot Ranges]\r\n0=20\r\n1=5\r\n"
    "[Menu English]\r\n0=Main\r\n1=Settings\r\n2=Contrast\r\n3=Volume\r\n4=Info\r\n"
    "[Menu English Help]\r\n0=\r\n1=Unit settings\r\n2=\r\n3=\r\n4=\r\n"
    "[InfNot English]\r\n0=Door open\r\n1=Low\r\n"
    "[Menu Deutsch]\r\n0=Haupt\r\n1=Einstellung\r\n2=Kontrast\r\n3=Lautst\r\n4=Info\r\n"
    "[Menu Deutsch Help]\r\n0=\r\n1=\r\n2=\r\n3=\r\n4=\r\n"
    "[InfNot Deutsch]\r\n0=Tuer offen\r\n1=Wenig\r\n"
    "[Menu States]\r\n0=0\r\n1=0\r\n2=0\r\n3=1\r\n4=0\r\n";

class MenuFixture : public FrameFixture {
protected:
    std::unique_ptr<TfrmQX318MainForm> Main;
    // Answers of the next question boxes, in order; Yes when none is left.
    std::deque<QMessageBox::StandardButton> Answers;
    // Texts typed into the next input boxes; none left: the box is cancelled.
    std::deque<std::string> Typed;
    std::vector<TInputRequest> Inputs;
    // The file the next save dialogs choose; none left: cancelled.
    std::deque<std::string> SaveNames;
    std::vector<TMenuSaveRequest> SaveDialogs;

    void SetUp() override {
        FrameFixture::SetUp();
        WriteFileBytes(ProgramDir / "DefaultMenu.mnu", TestDefaultMenu);
        TDialogAnswers::Set<TMessageBoxDialog>([this](const TMessageRequest& r) {
            Messages.push_back(r);
            if (r.Buttons == TMsgButtons::Ok) return QMessageBox::Ok;
            if (Answers.empty()) return QMessageBox::Yes;
            const QMessageBox::StandardButton a = Answers.front();
            Answers.pop_front();
            return a;
        });
        TDialogAnswers::Set<TInputQueryDialog>([this](const TInputRequest& r, std::string& value) {
            Inputs.push_back(r);
            if (Typed.empty()) return false;
            value = Typed.front();
            Typed.pop_front();
            return true;
        });
        TDialogAnswers::Set<TMenuSaveDialog>([this](const TMenuSaveRequest& r, std::string& name) {
            SaveDialogs.push_back(r);
            if (SaveNames.empty()) return false;
            name = SaveNames.front();
            SaveNames.pop_front();
            return true;
        });
        RegisterQXMenuEditor();
    }
    void TearDown() override {
        Main.reset();
        TDialogAnswers::Clear<TInputQueryDialog>();
        TDialogAnswers::Clear<TMenuSaveDialog>();
        FrameFixture::TearDown();
    }

    TfrmQX318MainForm& MainWindow() {
        if (!Main) Main = std::make_unique<TfrmQX318MainForm>();
        return *Main;
    }
    TfrmQXMenu* Open(const std::string& file = {}) { return OpenQXMenu(&MainWindow().App, file); }
    // Closes a window; true when it went.
    static bool CloseWindow(TfrmQXMenu* w) {
        QPointer<TfrmQXMenu> p(w);
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return !p || p->isHidden();
    }

    static void Key(QWidget* w, int key, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, mods, text);
        QCoreApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, key, mods, text);
        QCoreApplication::sendEvent(w, &release);
        // A cell editor ends its edit by a queued call.
        QCoreApplication::sendPostedEvents();
    }
    static void Type(QWidget* w, const std::string& text) {
        for (char c : text) Key(w, 0, QString(QChar(c)));
    }

    static QString Label(TfrmQXMenu* w, int32_t item) {
        auto* node = dynamic_cast<TTreeWidgetItem*>(w->EditedMenu->GetTreeNode(item));
        return node ? node->text(0) : QString("<none>");
    }
    static int32_t StateImage(TfrmQXMenu* w, int32_t item) {
        auto* node = dynamic_cast<TTreeWidgetItem*>(w->EditedMenu->GetTreeNode(item));
        return node ? node->StateImageIndex : -99;
    }
    static void Select(TfrmQXMenu* w, int32_t item) {
        auto* node = dynamic_cast<TTreeWidgetItem*>(w->EditedMenu->GetTreeNode(item));
        ASSERT_NE(node, nullptr);
        w->treeviewMenuItemsStructure->setCurrentItem(node);
    }
    static std::vector<std::string> LanguageList(TfrmQXMenu* w) {
        std::vector<std::string> out;
        for (int i = 0; i < w->listboxLanguages->count(); ++i)
            out.push_back(w->listboxLanguages->item(i)->text().toStdString());
        return out;
    }
    static std::string Cell(TfrmQXMenu* w, int row, int column) {
        QTableWidgetItem* cell = w->strgrdInfNotData->item(row, column);
        return cell ? cell->text().toStdString() : "<none>";
    }
    // The text of message id in the built-in table.
    std::string Text(uint32_t id) { return MainWindow().App.Text(id); }
};
