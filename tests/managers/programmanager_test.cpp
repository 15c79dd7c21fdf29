// The Program Manager, offscreen, against the simulated unit.
#include "ManagersTest.h"

#include "FunctionCodes.h"
#include "ProgramManager.h"
#include "ShortcutEdit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QTableWidget>
#include <QToolButton>

#include <cstdio>

namespace {

// One record line with its checksum: S-record (type '1'..'9') or Intel HEX.
std::string SLine(char type, uint16_t address, const Bytes& data) {
    Bytes body = {static_cast<uint8_t>(data.size() + 3), static_cast<uint8_t>(address >> 8),
                  static_cast<uint8_t>(address)};
    body.insert(body.end(), data.begin(), data.end());
    unsigned sum = 0;
    std::string line = std::string("S") + type;
    char pair[3];
    for (uint8_t b : body) {
        sum += b;
        std::snprintf(pair, sizeof pair, "%02X", b);
        line += pair;
    }
    std::snprintf(pair, sizeof pair, "%02X", ~sum & 0xFF);
    return line + pair;
}

std::string HLine(uint8_t type, uint16_t address, const Bytes& data) {
    Bytes body = {static_cast<uint8_t>(data.size()), static_cast<uint8_t>(address >> 8),
                  static_cast<uint8_t>(address), type};
    body.insert(body.end(), data.begin(), data.end());
    unsigned sum = 0;
    std::string line = ":";
    char pair[3];
    for (uint8_t b : body) {
        sum += b;
        std::snprintf(pair, sizeof pair, "%02X", b);
        line += pair;
    }
    std::snprintf(pair, sizeof pair, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
    return line + pair;
}

Bytes Pattern(size_t n, uint8_t seed) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(seed + i * 13);
    return b;
}

// Three S1 records of 16 bytes (22 bytes each as records) and an S9 (6).
std::vector<std::string> SRecordLines() {
    return {SLine('1', 0x0000, Pattern(16, 1)), SLine('1', 0x0010, Pattern(16, 2)), SLine('1', 0x0020, Pattern(16, 3)),
            SLine('9', 0x0000, {})};
}
constexpr uint32_t SRecordImageSize = 3 * 22 + 6;

std::vector<std::string> HexLines() {
    return {HLine(0, 0x0000, Pattern(16, 5)), HLine(0, 0x0010, Pattern(8, 6)), HLine(1, 0, {})};
}

std::string Join(const std::vector<std::string>& lines, const char* end) {
    std::string text;
    for (const auto& l : lines) text += l + end;
    return text;
}

class ProgramManager : public ManagersFixture {
protected:
    TfrmProgramManager* Open() {
        auto* w = static_cast<TfrmProgramManager*>(OpenProgramManager(App.get()));
        w->resize(320, 560);
        return w;
    }
    std::string Write(const std::string& text, const char* file) {
        const fs::path p = Root / file;
        WriteFileBytes(p, text);
        return p.string();
    }
    std::vector<std::string> RowNames(const TfrmProgramManager& w) {
        std::vector<std::string> names;
        for (int i = 0; i < ProgramSegmentCount; ++i) names.push_back(w.Row(i).Slot < 0 ? "-" : w.Row(i).Name);
        return names;
    }
    static void Key(QWidget* target, int key, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, mods, text);
        QCoreApplication::sendEvent(target, &press);
    }
    static void RightClick(QWidget* target, QPoint at) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
        QCoreApplication::sendEvent(target, &event);
    }
    size_t Requests(uint8_t fnc) const {
        size_t n = 0;
        for (const auto& r : Sent()) n += r.Fnc == fnc;
        return n;
    }
};

}  // namespace

TEST_F(ProgramManager, OpensDisconnectedWithoutReadingTheUnit) {
    std::unique_ptr<TfrmProgramManager> w(Open());
    EXPECT_EQ(w->windowTitle(), "Program Manager");
    EXPECT_EQ(w->GetKind(), KindProgramManager);
    EXPECT_FALSE(w->Connected());
    EXPECT_FALSE(w->actDownload->isEnabled());
    EXPECT_FALSE(w->actDelete->isEnabled());
    EXPECT_EQ(w->DataGrid->rowCount(), 8);
    EXPECT_EQ(w->SelectedSlot(), -1);
    EXPECT_TRUE(sim.Requests().empty());
}

TEST_F(ProgramManager, RefreshShowsEachProgramInItsSegments) {
    unit.PutProgram(0, "FIRST", Pattern(100, 1));
    unit.PutProgram(3, "SECOND", Pattern(40000, 2));
    std::unique_ptr<TfrmProgramManager> w(Open());
    w->actRefresh->trigger();
    ASSERT_TRUE(w->Connected());
    EXPECT_EQ(Requests(QXWire::Request::ProgramStatus), 8u);
    EXPECT_EQ(RowNames(*w), (std::vector<std::string>{"FIRST", "SECOND", "SECOND", "-", "-", "-", "-", "-"}));
    EXPECT_EQ(w->Row(0).ProgramSize, 100u);
    EXPECT_EQ(w->Row(1).SegmentSize, 32767u);
    EXPECT_EQ(w->Row(2).SegmentSize, 40000u - 32767u);
    EXPECT_EQ(w->Row(2).Slot, 3);
    EXPECT_TRUE(w->actDownload->isEnabled());
    // The digit keys choose the segment shown with that number.
    Key(w->DataGrid, Qt::Key_3, "3");
    EXPECT_EQ(w->DataGrid->currentRow(), 2);
    EXPECT_EQ(w->SelectedSlot(), 3);
    EXPECT_TRUE(w->actDelete->isEnabled());
    Key(w->DataGrid, Qt::Key_9, "9");
    Key(w->DataGrid, Qt::Key_0, "0");
    EXPECT_EQ(w->DataGrid->currentRow(), 2);
    Key(w->DataGrid, Qt::Key_4, "4");
    EXPECT_EQ(w->SelectedSlot(), -1);
    EXPECT_FALSE(w->actDelete->isEnabled());
}

TEST_F(ProgramManager, TheSelectedProgramsSegmentsArePaintedTogether) {
    unit.PutProgram(1, "LONG", Pattern(40000, 1));  // segments 0 and 1
    unit.PutProgram(5, "SHORT", Pattern(10, 2));    // segment 2
    std::unique_ptr<TfrmProgramManager> w(Open());
    w->show();
    // The inside of each segment's frame, below its texts and left of its bar.
    auto colours = [&](int selectedRow) {
        const int width = w->DataGrid->columnWidth(0);
        QImage image(width, 60 * ProgramSegmentCount, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        std::vector<QColor> found;
        for (int r = 0; r < ProgramSegmentCount; ++r) {
            const QRect cell(0, 60 * r, width, 60);
            w->DataGridDrawCell(painter, r, cell, r == selectedRow);
            found.push_back(image.pixelColor(cell.center().x(), cell.top() + 54));
        }
        return found;
    };
    const QColor grey(128, 128, 128), white(255, 255, 255), silver(192, 192, 192), lightBlue(188, 209, 245);
    const QColor freeCell = w->DataGrid->palette().color(QPalette::Base);

    EXPECT_EQ(colours(0), std::vector<QColor>(8, grey));  // not connected
    w->actRefresh->trigger();
    ASSERT_TRUE(w->Connected());
    w->DataGrid->setCurrentCell(1, 0);
    EXPECT_EQ(colours(1), (std::vector<QColor>{white, lightBlue, silver, freeCell, freeCell, freeCell, freeCell,
                                               freeCell}));
    w->DataGrid->setCurrentCell(2, 0);
    EXPECT_EQ(colours(2), (std::vector<QColor>{silver, silver, lightBlue, freeCell, freeCell, freeCell, freeCell,
                                               freeCell}));
}

TEST_F(ProgramManager, DownloadsSRecordAndHexFilesWhateverTheirLineEnds) {
    std::unique_ptr<TfrmProgramManager> w(Open());
    w->actRefresh->trigger();
    ASSERT_TRUE(w->Connected());
    ChosenFile = Write(Join(SRecordLines(), "\r\n"), "motor.S");
    ChosenFilter = 1;
    w->actDownload->trigger();
    ASSERT_EQ(OpenDialogs.size(), 1u);
    EXPECT_EQ(OpenDialogs[0].Title, "Program Download");
    EXPECT_EQ(OpenDialogs[0].FilterIndex, 4);
    EXPECT_EQ(App->Shortcuts.FilterIndex, 1);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, "Program downloaded successfully.");
    EXPECT_EQ(Messages[0].Icon, TMsgIcon::Information);
    const auto program = unit.GetProgram(0);
    ASSERT_TRUE(program);
    EXPECT_EQ(program->Name, "motor");
    EXPECT_EQ(program->Image.size(), SRecordImageSize);
    EXPECT_EQ(RowNames(*w)[0], "motor");
    EXPECT_EQ(w->Row(0).ProgramSize, SRecordImageSize);

    // The same HEX program with LF, CR LF and lone CR: the same image.
    const char* ends[] = {"\n", "\r\n", "\r"};
    std::vector<Bytes> images;
    for (int i = 0; i < 3; ++i) {
        ChosenFile = Write(Join(HexLines(), ends[i]), ("h" + std::to_string(i) + ".hex").c_str());
        ChosenFilter = 2;
        w->actDownload->trigger();
        EXPECT_EQ(OpenDialogs.back().FilterIndex, i == 0 ? 1 : 2);
        const auto p = unit.GetProgram(1 + i);
        ASSERT_TRUE(p) << i;
        images.push_back(p->Image);
    }
    EXPECT_EQ(images[0], images[1]);
    EXPECT_EQ(images[0], images[2]);
    EXPECT_EQ(RowNames(*w), (std::vector<std::string>{"motor", "h0", "h1", "h2", "-", "-", "-", "-"}));
}

TEST_F(ProgramManager, AFileThatDoesNotConvertSendsNothing) {
    std::unique_ptr<TfrmProgramManager> w(Open());
    w->actRefresh->trigger();
    ASSERT_TRUE(w->Connected());
    struct Case {
        const char* what;
        std::string text;
        const char* message;
    };
    std::string damaged = SRecordLines()[1];
    damaged[damaged.size() - 1] ^= 1;
    const std::vector<Case> cases = {
        {"a non-hex pair", "S1130000ZZ" + SRecordLines()[0].substr(10) + "\n", "Cannot open file.\r\nWrong format or corruped file."},
        {"a wrong checksum", SRecordLines()[0] + "\n" + damaged + "\n", "Cannot open file.\r\nWrong format or corruped file."},
        {"no lines at all", "", "Cannot open file.\r\nWrong format or corruped file."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Messages.clear();
        sim.ClearRecords();
        w->DownloadProgram(Write(c.text, "bad.S"));
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_EQ(Messages[0].Text, c.message);
        EXPECT_EQ(Messages[0].Icon, TMsgIcon::Stop);
        EXPECT_TRUE(Sent().empty());
        EXPECT_TRUE(w->Connected());
    }
    // A missing file, and a name that exists but is no readable file.
    fs::create_directories(Root / "folder.S");
    const struct {
        fs::path path;
        const char* cause;
    } files[] = {{Root / "none.S", "No such file or directory"}, {Root / "folder.S", "Is a directory"}};
    for (const auto& [path, cause] : files) {
        Messages.clear();
        sim.ClearRecords();
        w->DownloadProgram(path.string());
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_EQ(Messages[0].Text, "Cannot open file!\r\n" + path.string() + "\r\n" + cause);
        EXPECT_TRUE(Sent().empty());
    }
}

TEST_F(ProgramManager, DeleteAsksAndOnlyYesDeletes) {
    unit.PutProgram(2, "GONE", Pattern(50, 1));
    std::unique_ptr<TfrmProgramManager> w(Open());
    w->actRefresh->trigger();
    Key(w->DataGrid, Qt::Key_1, "1");
    ASSERT_EQ(w->SelectedSlot(), 2);
    for (auto answer : {QMessageBox::No, QMessageBox::Cancel}) {
        YesNoAnswers = {answer};
        Messages.clear();
        sim.ClearRecords();
        w->actDelete->trigger();
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_EQ(Messages[0].Text, "Delete 'GONE' program.\r\nAre you sure?");
        EXPECT_EQ(Messages[0].Buttons, TMsgButtons::YesNoCancel);
        EXPECT_TRUE(Sent().empty());
    }
    Messages.clear();
    w->actDelete->trigger();
    ASSERT_EQ(Messages.size(), 2u);
    EXPECT_EQ(Messages[1].Text, "Program deleted successfully.");
    EXPECT_FALSE(unit.GetProgram(2));
    EXPECT_EQ(RowNames(*w)[0], "-");
    EXPECT_FALSE(w->actDelete->isEnabled());
}

TEST_F(ProgramManager, AnIgnoredErrorIsNoSuccess) {
    std::unique_ptr<TfrmProgramManager> w(Open());
    w->actRefresh->trigger();
    ASSERT_TRUE(w->Connected());
    // The unit refuses the program's description; the user ignores it.
    unit.Refuse(QXWire::Request::ProgramPacket, 3, 1);
    ErrorAnswers = {caIgnore, caIgnore, caIgnore, caIgnore};
    w->DownloadProgram(Write(Join(SRecordLines(), "\n"), "p.S"));
    EXPECT_GE(ErrorsAsked, 1);
    EXPECT_TRUE(Messages.empty());
    EXPECT_FALSE(w->Connected());
}

TEST_F(ProgramManager, ShortcutsAreSetUsedAndRefused) {
    std::unique_ptr<TfrmProgramManager> w(Open());
    // Ctrl+2 with shortcut 2 empty.
    Key(w->DataGrid, Qt::Key_2, "", Qt::ControlModifier);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, "Shortcut 2 is not assigned.");
    // The number pad's 2 is no shortcut.
    Messages.clear();
    Key(w->DataGrid, Qt::Key_2, "", Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_TRUE(Messages.empty());

    // A right click on button 2 edits its path: Cancel keeps it, OK takes it.
    const std::string file = Write(Join(SRecordLines(), "\n"), "short.S");
    const QPoint click(3, 4);
    const QPoint below = w->toolbtnShortcut[1]->mapToGlobal(click) + QPoint(0, 10);
    std::deque<std::function<void(TfrmShortcutEdit&)>> answers = {
        [&](TfrmShortcutEdit& d) {
            EXPECT_EQ(d.windowTitle(), "Shortcut 2 edit.");
            EXPECT_EQ(d.pos(), below);
            d.edtShortcutFile->setText("elsewhere.S");
            d.btnCancel->click();
        },
        [&](TfrmShortcutEdit& d) {
            d.edtShortcutFile->setText(QString::fromStdString(file));
            d.btnOk->click();
        }};
    {
        const TDialogAnswerGuard<TfrmShortcutEdit> answer([&](TfrmShortcutEdit& d) {
            answers.front()(d);
            answers.pop_front();
            return d.result();
        });
        RightClick(w->toolbtnShortcut[1], click);
        EXPECT_EQ(App->Shortcuts.Items[1].Path, "");
        RightClick(w->toolbtnShortcut[1], click);
    }
    EXPECT_EQ(App->Shortcuts.Items[1].Path, file);
    EXPECT_EQ(w->actShortcut[1]->toolTip().toStdString(), file);

    // Set but not connected.
    Messages.clear();
    Key(w->DataGrid, Qt::Key_2, "", Qt::ControlModifier);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, "QX is not connected!!!");

    // The submenu lists the four with their paths, usable once connected.
    w->actRefresh->trigger();
    w->actShortcutsUpdate();
    const auto entries = w->mnuShortcuts->actions();
    ASSERT_EQ(entries.size(), 5);
    EXPECT_TRUE(entries[0]->isSeparator());
    EXPECT_EQ(entries[1]->text().toStdString(), "Shortcut &1: ");
    EXPECT_EQ(entries[2]->text().toStdString(), "Shortcut &2: " + file);
    EXPECT_FALSE(entries[1]->isEnabled());
    EXPECT_TRUE(entries[2]->isEnabled());

    // Connected: the shortcut downloads, from its button and from the
    // submenu, whose entries are rebuilt by the download they start.
    Messages.clear();
    w->actShortcut[1]->trigger();
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, "Program downloaded successfully.");
    ASSERT_TRUE(unit.GetProgram(0));
    EXPECT_EQ(unit.GetProgram(0)->Name, "short");
    Messages.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const auto rebuilt = w->mnuShortcuts->actions();
    ASSERT_EQ(rebuilt.size(), 5);
    rebuilt[2]->trigger();
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, "Program downloaded successfully.");
    ASSERT_TRUE(unit.GetProgram(1));
    EXPECT_EQ(unit.GetProgram(1)->Name, "short");
}

TEST_F(ProgramManager, TheShortcutDialogsBrowseSharesTheFilterIndex) {
    TfrmShortcutEdit dialog(nullptr, "Shortcut 1 edit.", "old.S", App.get());
    ChosenFile = (Root / "picked.hex").string();
    ChosenFilter = 2;
    dialog.btnBrowse->click();
    EXPECT_EQ(OpenDialogs.at(0).FilterIndex, 4);
    EXPECT_EQ(App->Shortcuts.FilterIndex, 2);
    EXPECT_EQ(dialog.edtShortcutFile->text().toStdString(), ChosenFile);
    // Cancel after browsing: the old path.
    dialog.btnCancelClick();
    EXPECT_EQ(dialog.Result, "old.S");
}

TEST_F(ProgramManager, TheShortcutDialogReturnsTheEditedPathOnlyAfterOk) {
    const struct {
        const char* what;
        std::function<void(TfrmShortcutEdit&)> answer;
        std::string expected;
    } cases[] = {
        {"OK with the field emptied unassigns the shortcut",
         [](TfrmShortcutEdit& d) {
             d.edtShortcutFile->clear();
             d.btnOk->click();
         },
         ""},
        {"Enter in the field takes it",
         [](TfrmShortcutEdit& d) {
             d.edtShortcutFile->setText("new.S");
             Key(d.edtShortcutFile, Qt::Key_Return, "\r");
         },
         "new.S"},
        {"Esc keeps the old path",
         [](TfrmShortcutEdit& d) {
             d.edtShortcutFile->setText("new.S");
             Key(d.edtShortcutFile, Qt::Key_Escape, "");
         },
         "old.S"},
        {"Cancel keeps the old path", [](TfrmShortcutEdit& d) { d.btnCancel->click(); }, "old.S"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TDialogAnswerGuard<TfrmShortcutEdit> answer([&c](TfrmShortcutEdit& d) {
            c.answer(d);
            return d.result();
        });
        EXPECT_EQ(TfrmShortcutEdit::Execute(nullptr, App.get(), "old.S", 40, 50, "Shortcut 1 edit."), c.expected);
    }
}
