// What the tests of the structure commands and the tree editors share: the
// main window with type windows of the sample type, expert mode or not,
// input boxes and message boxes answered from a script, and the moves a
// user makes in the tree and the grid.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <deque>
#include <optional>

#include "../frame/FrameTest.h"
#include "Main.h"
#include "TypeSamples.h"
#include "TypeWindow.h"

class StructureFixture : public FrameFixture {
protected:
    std::unique_ptr<TfrmQX318MainForm> Main;
    // The input boxes asked, and their answers in order (none: Cancel).
    std::vector<TInputRequest> Inputs;
    std::deque<std::optional<std::string>> Answers;
    // The answer of Yes/No questions.
    QMessageBox::StandardButton Answer = QMessageBox::Yes;

    void SetUp() override {
        FrameFixture::SetUp();
        RegisterTypeEditor();
        TDialogAnswers::Set<TInputQueryDialog>([this](const TInputRequest& r, std::string& value) {
            Inputs.push_back(r);
            // The box is a window of its own: it takes the focus while it is
            // open, and gives none back when it closes.
            QLineEdit box;
            box.show();
            QApplication::setActiveWindow(&box);
            box.setFocus();
            if (Answers.empty()) return false;
            const std::optional<std::string> answer = Answers.front();
            Answers.pop_front();
            if (answer) value = *answer;
            return answer.has_value();
        });
        TDialogAnswers::Set<TMessageBoxDialog>([this](const TMessageRequest& r) {
            Messages.push_back(r);
            return r.Buttons == TMsgButtons::Ok ? QMessageBox::Ok : Answer;
        });
    }
    void TearDown() override {
        if (Main)
            for (TMDICustomChild* w : Main->DocumentWindows())
                if (auto* t = qobject_cast<TfrmTypeObject*>(w)) t->Modified = false;
        Main.reset();
        TDialogAnswers::Clear<TInputQueryDialog>();
        FrameFixture::TearDown();
    }

    void StartMain(bool expert) {
        if (expert) WriteRegistry("[Software\\KVOZ]\nKVOZ=KVOZ\n");
        Main = std::make_unique<TfrmQX318MainForm>(nullptr, std::string());
        Main->resize(1100, 800);
        Main->show();
        QApplication::setActiveWindow(Main.get());
        QApplication::processEvents();
        ASSERT_EQ(Main->App.ExpertMode, expert ? 1 : 0);
    }

    // A window of the sample type (two languages, three parameters, tables
    // "Speeds" and an unnamed one), or of a new type for an empty name.
    TfrmTypeObject* Open(const char* name = "pump.mtp") {
        std::string path;
        if (*name) {
            uint8_t formats[100] = {};
            TTypeObjectData type(formats);
            FillSampleType(type);
            path = (Root / name).string();
            EXPECT_TRUE(type.SaveToFile(path));
        }
        QPointer<TMDICustomChild> w = DocumentCreators().OpenTypeObject(&Main->App, path);
        QApplication::processEvents();
        auto* window = qobject_cast<TfrmTypeObject*>(OpenWindow(w));
        if (window) window->resize(900, 600);
        QApplication::processEvents();
        return window;
    }

    static QTreeWidgetItem* ItemOf(TfrmTypeObject* w, int32_t id, int32_t sub, int32_t table = -1, int32_t field = -1) {
        TNodeExt* scope = w->TypeTree->Root();
        if (scope && table >= 0) scope = scope->Find(NodeTable, table, "");
        if (scope && field >= 0) scope = scope->Find(NodeField, field, "");
        TNodeExt* node = scope ? scope->Find(id, sub, "") : nullptr;
        return node ? TQtTreeNodes::Item(node->TreeNode) : nullptr;
    }
    // The user clicks the node in the tree.
    static void ClickNode(TfrmTypeObject* w, int32_t id, int32_t sub, int32_t table = -1, int32_t field = -1) {
        QTreeWidgetItem* item = ItemOf(w, id, sub, table, field);
        ASSERT_NE(item, nullptr) << id << " " << sub;
        for (QTreeWidgetItem* p = item->parent(); p; p = p->parent()) p->setExpanded(true);
        // A drop-down list closed offscreen leaves no window active.
        QApplication::setActiveWindow(w->window());
        w->TreeView->setFocus(Qt::MouseFocusReason);
        w->TreeView->scrollToItem(item);
        QApplication::processEvents();
        const QRect r = w->TreeView->visualItemRect(item);
        QTest::mouseClick(w->TreeView->viewport(), Qt::LeftButton, {}, QPoint(r.left() + 8, r.center().y()));
        ASSERT_EQ(w->TreeView->currentItem(), item);
    }
    // The user clicks a cell of the grid on the tab.
    static void ClickCell(TfrmTypeObject* w, int tab, int row, int col) {
        QApplication::setActiveWindow(w->window());
        w->TabControl->setCurrentIndex(tab);
        w->DataGrid->setFocus(Qt::MouseFocusReason);
        const QModelIndex at = w->DataGrid->model()->index(row, col);
        w->DataGrid->scrollTo(at);
        QApplication::processEvents();
        QTest::mouseClick(w->DataGrid->viewport(), Qt::LeftButton, {}, w->DataGrid->visualRect(at).center());
        ASSERT_EQ(w->DataGrid->currentIndex(), at);
    }
    static std::string Text(const QTreeWidgetItem* item) { return item ? item->text(0).toStdString() : "(none)"; }
    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const TMessageRequest& m : Messages) texts.push_back(m.Text);
        return texts;
    }
};

using Strings = std::vector<std::string>;
