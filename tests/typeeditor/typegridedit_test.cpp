// Editing in the type window's grid, driven by keys and clicks through the
// real window inside the main window: each column's commit and clamp, what
// opening and leaving an editor stores, the Delete key, the first typed
// key, the text and switch panels, the units combo with the recent units,
// the binary bar, the expert gate and the row move with the Ctrl key.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <algorithm>

#include "../frame/EndKeys.h"
#include "../frame/FrameTest.h"
#include "BinaryBarDriver.h"
#include "Main.h"
#include "TypeSamples.h"
#include "TypeWindow.h"

namespace {

using Strings = std::vector<std::string>;

class GridEdit : public FrameFixture {
protected:
    std::unique_ptr<TfrmQX318MainForm> Main;
    TfrmTypeObject* W = nullptr;

    void SetUp() override {
        FrameFixture::SetUp();
        RegisterTypeEditor();
    }
    void TearDown() override {
        if (W) W->Modified = false;
        Main.reset();
        FrameFixture::TearDown();
    }

    // The sample type in a window of the main window, expert mode or not.
    void OpenSample(bool expert) {
        if (expert) WriteRegistry("[Software\\KVOZ]\nKVOZ=KVOZ\n");
        Main = std::make_unique<TfrmQX318MainForm>(nullptr, std::string());
        Main->show();
        QApplication::setActiveWindow(Main.get());
        uint8_t formats[100] = {};
        TTypeObjectData type(formats);
        FillSampleType(type);
        const std::string path = (Root / "pump.mtp").string();
        ASSERT_TRUE(type.SaveToFile(path));
        W = qobject_cast<TfrmTypeObject*>(DocumentCreators().OpenTypeObject(&Main->App, path));
        ASSERT_NE(W, nullptr);
        W->resize(900, 600);
        QApplication::processEvents();
        ASSERT_EQ(Main->App.ExpertMode, expert ? 1 : 0);
    }
    TTypeData6& Def() { return W->TypeData->GetTypeData(); }
    TTableData& Speeds() { return *W->TypeData->GetTable(0); }

    // Shows a tab and makes a cell current, the grid focused.
    void Cell(int tab, int row, int col) {
        // A modal bar closed offscreen leaves no window active.
        QApplication::setActiveWindow(Main.get());
        W->TabControl->setCurrentIndex(tab);
        W->DataGrid->setFocus(Qt::MouseFocusReason);
        const QModelIndex at = W->DataGrid->model()->index(row, col);
        W->DataGrid->scrollTo(at);
        QTest::mouseClick(W->DataGrid->viewport(), Qt::LeftButton, {}, W->DataGrid->visualRect(at).center());
        ASSERT_EQ(W->DataGrid->currentIndex(), at);
        QApplication::processEvents();
    }
    std::string Shown(int row, int col) const {
        return W->DataGrid->model()->index(row, col).data().toString().toStdString();
    }
    static QWidget* Focus() { return QApplication::focusWidget(); }
    // Types text as a user does: the first key on the grid, the others where
    // the focus is then.
    void Type(const QString& text) {
        for (QChar c : text) QTest::keyClick(Focus(), c.toLatin1());
        QApplication::processEvents();
    }
    // A key where the focus is; what the key sets off (the grid editor
    // closes a moment later) is done when this returns.
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(Focus(), key, mods);
        QApplication::processEvents();
    }
    bool AnyEditorOpen() const {
        return W->TypeGrid->GridEditor() || W->ParamNamePanel->isVisible() || W->SwitchNamePanel->isVisible() ||
               W->cmbboxUnits->isVisible();
    }
};

TEST_F(GridEdit, EachColumnStoresWhatIsTypedWithinItsRange) {
    OpenSample(true);
    struct Case {
        int Tab, Row, Col;
        const char* Typed;
        std::string Shown;
    };
    const Case cases[] = {
        {0, 1, ColValue, "70000", "3000"},  // 65535, then the maximum
        {0, 1, ColValue, "0x10", "16"},     // 16 is above the minimum 10
        {0, 1, ColValue, "7", "10"},
        {0, 1, ColValue, "abc", "10"},  // no number: as it was
        {0, 2, ColMin, "70000", "65535"},
        {0, 2, ColMax, "-4", "0"},
        {0, 2, ColPar, "Q2345", "Q234"},
        {2, 1, 1, "300", "255"},        // a 1-byte unsigned field
        {2, 1, 1, "-1", "255"},
        {2, 1, 2, "70000", "32767"},    // a 2-byte signed field
        {2, 1, 2, "-2", "-2"},
        {2, 2, 3, "0xFFFFFFFF", "4294967295"},
        {2, 2, 3, "x", "4294967295"},
    };
    for (const Case& c : cases) {
        Cell(c.Tab, c.Row, c.Col);
        Type(c.Typed);
        ASSERT_NE(W->TypeGrid->GridEditor(), nullptr) << c.Typed;
        Key(Qt::Key_Return);
        EXPECT_FALSE(AnyEditorOpen());
        EXPECT_EQ(Shown(c.Row, c.Col), c.Shown) << "tab " << c.Tab << " " << c.Row << "," << c.Col << " typed " << c.Typed;
    }
    EXPECT_EQ(Def().GetParamName(1, 0), "Q234 Limit");
    EXPECT_TRUE(W->Modified);
}

TEST_F(GridEdit, AnEditorOpenedAndLeftUnchangedStoresAndReportsNothing) {
    OpenSample(true);
    // Enter opens, Enter closes; a click elsewhere closes; Esc discards typing.
    Cell(0, 1, ColPar);
    Key(Qt::Key_Return);
    ASSERT_NE(W->TypeGrid->GridEditor(), nullptr);
    EXPECT_EQ(W->TypeGrid->GridEditor()->text(), "P1");
    Key(Qt::Key_Return);
    Cell(0, 1, ColValue);
    Key(Qt::Key_F2);
    ASSERT_NE(W->TypeGrid->GridEditor(), nullptr);
    W->DataGrid->setCurrentIndex(W->DataGrid->model()->index(2, ColValue));
    QApplication::processEvents();
    Cell(2, 1, 2);
    Type("123");
    Key(Qt::Key_Escape);
    EXPECT_FALSE(AnyEditorOpen());
    EXPECT_EQ(Shown(1, 2), "-5");
    EXPECT_FALSE(W->Modified);
    EXPECT_EQ(W->StatusPanels[0]->text(), "");
    // Tab stores the text in its own cell and moves on; the next cell opens
    // nothing by itself.
    Cell(0, 1, ColValue);
    Type("250");
    Key(Qt::Key_Tab);
    EXPECT_EQ(Def().GetValue(0, 0), 250);
    EXPECT_EQ(W->DataGrid->currentIndex().column(), ColMin);
    EXPECT_EQ(W->TypeGrid->GridEditor(), nullptr);
    EXPECT_EQ(Def().GetParamFormat(0)->Min, 10);
    W->Modified = false;
    // The same text typed again is stored: the user typed it.
    Cell(0, 1, ColValue);
    Type("250");
    Key(Qt::Key_Return);
    EXPECT_TRUE(W->Modified);
}

TEST_F(GridEdit, TheDeleteKeyOpensEachEditorEmpty) {
    OpenSample(true);
    // A flag is cleared at once.
    Cell(1, 16, 2);
    ASSERT_TRUE(Def().GetSwitch(0, 0));
    Key(Qt::Key_Delete);
    EXPECT_FALSE(Def().GetSwitch(0, 0));
    EXPECT_TRUE(W->Modified);
    W->Modified = false;
    // A number is left as it was, and the closing still reports.
    Cell(0, 1, ColValue);
    Key(Qt::Key_Delete);
    ASSERT_NE(W->TypeGrid->GridEditor(), nullptr);
    EXPECT_EQ(W->TypeGrid->GridEditor()->text(), "");
    Key(Qt::Key_Return);
    EXPECT_EQ(Def().GetValue(0, 0), 100);
    EXPECT_TRUE(W->Modified);
    // Also a value outside its parameter's range (43981 above a maximum of 0).
    Cell(0, 2, ColValue);
    Key(Qt::Key_Delete);
    Key(Qt::Key_Return);
    EXPECT_EQ(Def().GetValue(1, 0), 43981);
    // The code becomes empty.
    Cell(0, 1, ColPar);
    Key(Qt::Key_Delete);
    Key(Qt::Key_Return);
    EXPECT_EQ(Def().GetParamName(0, 0), " Speed");
    // The text panel opens empty and stores nothing unless something is typed.
    Cell(0, 2, ColText);
    Key(Qt::Key_Delete);
    ASSERT_TRUE(W->ParamNamePanel->isVisible());
    EXPECT_EQ(W->memoParamName->toPlainText(), "");
    W->DataGrid->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(W->ParamNamePanel->isVisible());
    EXPECT_EQ(Def().GetParamName(1, 0), "P2 Limit");
    // Empty units are stored when accepted.
    Cell(0, 1, ColUnits);
    Key(Qt::Key_Delete);
    ASSERT_TRUE(W->cmbboxUnits->isVisible());
    EXPECT_EQ(W->cmbboxUnits->currentText(), "");
    Key(Qt::Key_Return);
    EXPECT_EQ(Def().GetParamFormat(0)->GetUnits(), "");
}

TEST_F(GridEdit, TheExpertGateOfTheGridEditors) {
    struct Case {
        int Tab, Row, Col;
        bool Gated;
    };
    const Case cases[] = {
        {0, 1, ColPar, true},   {0, 1, ColText, true}, {0, 1, ColValue, false}, {0, 1, ColMin, true},
        {0, 1, ColMax, true},   {0, 1, ColUnits, true}, {1, 1, 1, true},        {2, 1, 1, false},
    };
    for (bool expert : {false, true}) {
        OpenSample(expert);
        for (const Case& c : cases)
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_F2, Qt::Key_Delete}) {
                Cell(c.Tab, c.Row, c.Col);
                Key(key);
                EXPECT_EQ(AnyEditorOpen(), expert || !c.Gated) << c.Tab << " " << c.Col << " expert " << expert;
                Key(Qt::Key_Escape);
                ASSERT_FALSE(AnyEditorOpen());
            }
        // A double click opens the value's editor in every mode.
        Cell(0, 2, ColValue);
        const QRect cell = W->DataGrid->visualRect(W->DataGrid->currentIndex());
        QTest::mouseClick(W->DataGrid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(W->DataGrid->viewport(), Qt::LeftButton, {}, cell.center());
        EXPECT_NE(W->TypeGrid->GridEditor(), nullptr);
        Key(Qt::Key_Escape);
        // A flag toggles in every mode.
        Cell(1, 1, 2);
        Key(Qt::Key_Return);
        EXPECT_FALSE(Def().GetSwitch(0, 15)) << expert;
        Key(Qt::Key_Space);
        EXPECT_TRUE(Def().GetSwitch(0, 15)) << expert;
        W->Modified = false;
        Main.reset();
        W = nullptr;
        WriteRegistry("");
    }
}

TEST_F(GridEdit, TheTextPanelStoresItsLinesAsItShowsThem) {
    OpenSample(true);
    // Enter opens the panel with the text and replaces nothing.
    Cell(0, 1, ColText);
    Key(Qt::Key_Return);
    ASSERT_TRUE(W->ParamNamePanel->isVisible());
    EXPECT_EQ(W->memoParamName->toPlainText(), "Speed");
    Key(Qt::Key_Escape);
    EXPECT_FALSE(W->ParamNamePanel->isVisible());
    EXPECT_FALSE(W->Modified);
    // A typed key replaces the text; the panel wraps the words as the grid does.
    Type("Maximum temperature of the heater");
    ASSERT_TRUE(W->ParamNamePanel->isVisible());
    EXPECT_TRUE(W->memoParamName->geometry().width() > 0);
    W->DataGrid->setFocus();  // leaving the panel stores it
    QApplication::processEvents();
    EXPECT_FALSE(W->ParamNamePanel->isVisible());
    EXPECT_EQ(Def().GetParamName(0, 0), "P1 Maximum temperature  of the heater");
    EXPECT_EQ(Def().GetParamName(0, 1), "P1 Tempo");
    EXPECT_TRUE(W->Modified);
    // Three lines at most, and Esc leaves the stored text.
    Cell(0, 2, ColText);
    Type("one two three four five six seven eight nine ten eleven twelve");
    EXPECT_EQ(W->memoParamName->toPlainText(), "one two three four five six seven eight nine ten eleven tw");
    // A character typed into a full editor is refused, wherever the caret is.
    Key(Qt::Key_Home);
    Type("Z");
    EXPECT_EQ(W->memoParamName->toPlainText(), "one two three four five six seven eight nine ten eleven tw");
    Key(Qt::Key_Escape);
    EXPECT_EQ(Def().GetParamName(1, 0), "P2 Limit");
    Cell(0, 2, ColText);
    Type("one two three four five six seven eight nine ten eleven twelve");
    W->HideEditors();  // as every command does first: what was typed stays
    EXPECT_EQ(Def().GetParamName(1, 0), "P2 one two three four   five six seven eight nine ten eleven tw");
    // Lines broken by Enter count as well: a fourth line never stays.
    Cell(0, 3, ColText);
    Type("x");
    for (const char* line : {"y", "z", "w"}) {
        Key(Qt::Key_Return);
        Type(line);
    }
    EXPECT_EQ(W->memoParamName->toPlainText(), "x\ny\nzw");
    W->DataGrid->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(Def().GetParamName(2, 0), "P3 x" + std::string(20, ' ') + "y" + std::string(20, ' ') + "zw");
}

TEST_F(GridEdit, TheSwitchPanelOpensWithItsNameOnEnter) {
    OpenSample(true);
    // Row 1 is switch 16.
    Cell(1, 1, 1);
    Key(Qt::Key_Return);
    ASSERT_TRUE(W->SwitchNamePanel->isVisible());
    EXPECT_EQ(W->memoSwitchName->toPlainText(), "Heater on the left side of the unit");
    // Enter again inside the panel is a line break for the user, not a
    // replacement of the name: leaving the panel unchanged keeps it whole.
    W->DataGrid->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(Def().GetLanguage(0)->GetSwitchText(15), "Heater on the left side of the unit");
    EXPECT_FALSE(W->Modified);
    Cell(1, 16, 1);
    Type("Main fan of the cooling unit");
    W->DataGrid->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(Def().GetLanguage(0)->GetSwitchText(0), "Main fan of the   cooling unit");
    EXPECT_EQ(Shown(16, 1), "Main fan of the   cooling unit");
    EXPECT_EQ(Def().GetLanguage(1)->GetSwitchText(0), "SW 1");
}

TEST_F(GridEdit, TheUnitsComboAndTheRecentUnits) {
    OpenSample(true);
    *Main->App.UnitsList = {"rpm", "bar", "A"};
    // Enter opens the combo with the units and replaces nothing; the list
    // is sorted for good.
    Cell(0, 1, ColUnits);
    Key(Qt::Key_Return);
    ASSERT_TRUE(W->cmbboxUnits->isVisible());
    EXPECT_EQ(W->cmbboxUnits->currentText(), "rpm");
    EXPECT_EQ(*Main->App.UnitsList, (Strings{"A", "bar", "rpm"}));
    EXPECT_EQ(W->cmbboxUnits->count(), 3);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(W->cmbboxUnits->isVisible());
    EXPECT_EQ(Focus(), W->DataGrid);
    EXPECT_FALSE(W->Modified);
    // Typing replaces them, as many characters as the units keep; Enter
    // stores them trimmed.
    Cell(0, 2, ColUnits);
    Type(" kilometres");
    EXPECT_EQ(W->cmbboxUnits->currentText(), " kilome");
    Key(Qt::Key_Return);
    EXPECT_EQ(Def().GetParamFormat(1)->GetUnits(), "kilome");
    EXPECT_EQ(Main->App.UnitsList->front(), "kilome");
    EXPECT_EQ(Shown(2, ColUnits), "kilome");
    EXPECT_TRUE(W->Modified);
    // Enter right after opening accepts the shown units.
    W->Modified = false;
    Cell(0, 3, ColUnits);
    Key(Qt::Key_Return);
    Key(Qt::Key_Return);
    EXPECT_EQ(Def().GetParamFormat(2)->GetUnits(), "");
    EXPECT_TRUE(W->Modified);
}

// The keys that end an edit without the mouse: Tab, Shift+Tab and
// Ctrl+Enter store what was typed, Esc keeps what is stored; the grid has the
// focus again.
TEST_F(GridEdit, EveryEditorEndsByTheKeyboard) {
    OpenSample(true);
    struct Editor {
        const char* Name;
        int Tab, Row, Col;
        const char* Stem;  // typed, with the number of the key after it
        std::function<std::string()> Stored;
        std::string Before;
        std::string Prefix, Suffix;  // around the typed text, as stored
    };
    const Editor editors[] = {
        {"text panel", 0, 1, ColText, "Flow", [&] { return Def().GetParamName(0, 0); }, "P1 Speed", "P1 ", ""},
        {"switch panel", 1, 16, 1, "Pump", [&] { return Def().GetLanguage(0)->GetSwitchText(0); }, "Fan", "", ""},
        {"units combo", 0, 1, ColUnits, "ba", [&] { return Def().GetParamFormat(0)->GetUnits(); }, "rpm", "", ""},
        {"grid editor", 0, 1, ColValue, "20", [&] { return std::to_string(Def().GetValue(0, 0)); }, "100", "", ""},
        {"grid editor (code)", 0, 2, ColPar, "Q", [&] { return Def().GetParamName(1, 0); }, "P2 Limit", "",
         " Limit"},
    };
    for (const Editor& e : editors) {
        std::string expected = e.Before;
        int n = 0;
        for (const TEndKey& end : EndKeys()) {
            Cell(e.Tab, e.Row, e.Col);
            const std::string typed = e.Stem + std::to_string(++n);
            Type(QString::fromStdString(typed));
            ASSERT_TRUE(AnyEditorOpen()) << e.Name << " " << end.Name;
            Key(static_cast<Qt::Key>(end.Key), end.Mods);
            if (end.Stores) expected = e.Prefix + typed + e.Suffix;
            EXPECT_FALSE(AnyEditorOpen()) << e.Name << " " << end.Name;
            EXPECT_EQ(Focus(), W->DataGrid) << e.Name << " " << end.Name;
            EXPECT_EQ(e.Stored(), expected) << e.Name << " " << end.Name;
        }
    }
}

// Each editor takes no more characters than its field keeps: one more typed
// leaves the text at the field's length.
TEST_F(GridEdit, EditorsTakeNoMoreThanTheirFieldKeeps) {
    OpenSample(true);
    struct Case {
        const char* Name;
        int Tab, Row, Col;
        size_t Length;
        bool MultiLine;
        std::function<QString()> Text;
        std::function<std::string()> Stored;
    };
    const Case cases[] = {
        {"parameter text", 0, 1, ColText, _ParamName::TextLength - _ParamName::CodeLength - 1, true,
         [&] { return W->memoParamName->toPlainText(); },
         [&] {
             std::string code, text;
             SplitParamName(Def().GetParamName(0, 0), code, text);
             return text;
         }},
        {"switch name", 1, 16, 1, _LangItem::SwitchTextLength, true, [&] { return W->memoSwitchName->toPlainText(); },
         [&] { return Def().GetLanguage(0)->GetSwitchText(0); }},
        {"units", 0, 1, ColUnits, _ParamFormatItem::UnitsLength, false, [&] { return W->cmbboxUnits->currentText(); },
         [&] { return Def().GetParamFormat(0)->GetUnits(); }},
        {"parameter code", 0, 1, ColPar, _ParamName::CodeLength, false,
         [&] { return W->TypeGrid->GridEditor() ? W->TypeGrid->GridEditor()->text() : QString(); },
         [&] {
             std::string code, text;
             SplitParamName(Def().GetParamName(0, 0), code, text);
             return code;
         }},
    };
    for (const Case& c : cases) {
        Cell(c.Tab, c.Row, c.Col);
        // Words of one letter, so that the multi-line editors wrap no word
        // onto a line of its own.
        QString typed;
        for (size_t i = 0; i <= c.Length; ++i)
            typed += c.MultiLine && i % 2 ? QChar(' ') : QChar('a' + static_cast<char>(i % 26));
        Type(typed);
        EXPECT_EQ(static_cast<size_t>(c.Text().size()), c.Length) << c.Name;
        EXPECT_EQ(c.Text(), typed.left(static_cast<int>(c.Length))) << c.Name;
        Key(Qt::Key_Tab);
        EXPECT_FALSE(AnyEditorOpen()) << c.Name;
        // What was typed is stored whole (the units and the code as typed).
        if (!c.MultiLine) EXPECT_EQ(c.Stored(), typed.left(static_cast<int>(c.Length)).toStdString()) << c.Name;
        else EXPECT_FALSE(c.Stored().empty()) << c.Name;
    }
}

TEST_F(GridEdit, BinaryColumnsEditThroughTheBar) {
    OpenSample(false);
    // View/Edit As Bin on the value column.
    Cell(0, 1, ColValue);
    W->UpdateActions();
    W->actViewEditAsBin->trigger();
    EXPECT_EQ(Main->App.DisplayFormats[SlotValue], 2);
    EXPECT_GE(W->DataGrid->columnWidth(ColValue), 115);
    Cell(0, 1, ColValue);
    int bits = 0;
    QPoint at;
    int outerWidth = 0;
    {
        TBarDriver driver([&](TfrmBinaryEditBar* bar) {
            ASSERT_NE(bar, nullptr);
            bits = bar->BitCount();
            at = bar->pos();
            outerWidth = bar->frameGeometry().width();
            QTest::mouseClick(bar->Button(0), Qt::LeftButton);  // bit 15: 32868
            QTest::keyClick(bar->Button(0), Qt::Key_Escape);
        });
        Type("1");  // typing opens the bar, too
    }
    EXPECT_EQ(bits, 16);
    const QRect cell = W->DataGrid->visualRect(W->DataGrid->currentIndex());
    // At the cell, moved left only as far as the screen's right edge needs.
    const QPoint cellAt = W->DataGrid->viewport()->mapToGlobal(cell.topLeft());
    const QRect screen = W->screen()->availableGeometry();
    EXPECT_EQ(at, QPoint(std::min(cellAt.x(), screen.right() + 1 - outerWidth), cellAt.y()));
    EXPECT_EQ(Def().GetValue(0, 0), 3000);  // clamped to the maximum
    EXPECT_TRUE(W->Modified);
    // A table cell of a 1-byte field: 8 bits, stored as the bar returns it,
    // also unchanged.
    Cell(2, 1, 1);
    W->UpdateActions();
    W->actViewEditAsBin->trigger();
    EXPECT_EQ(Main->App.DisplayFormats[SlotFirstField], 2);
    W->Modified = false;
    Cell(2, 1, 1);
    {
        TBarDriver driver([&](TfrmBinaryEditBar* bar) {
            ASSERT_NE(bar, nullptr);
            bits = bar->BitCount();
            bar->close();
        });
        Key(Qt::Key_Return);
    }
    EXPECT_EQ(bits, 8);
    EXPECT_EQ(Speeds().GetValue(0, 0, 0), 7u);
    EXPECT_TRUE(W->Modified);
}

class RowMoveKeys : public GridEdit {
protected:
    // Parameters A B C D in both languages with three data sets.
    void FillFour() {
        TTypeData6& def = Def();
        def.SetDataSetCount(3);
        def.SetParameterCount(4);
        for (int32_t p = 0; p < 4; ++p) {
            const std::string n(1, static_cast<char>('A' + p));
            def.SetParamNameRaw(p, 0, n + "1 English");
            def.SetParamNameRaw(p, 1, n + "1 Deutsch");
            def.GetParamFormat(p)->SetUnits(n);
            def.GetParamFormat(p)->Max = 1000;
            for (int32_t s = 0; s < 3; ++s) def.SetValue(p, s, static_cast<uint16_t>(100 * p + s));
        }
        W->Refresh(false);
        W->TypeGrid->RowMove().CtrlHeld = [] { return true; };
    }
    // The order of the parameters, each whole in every language and data set.
    std::string Order() {
        std::string order;
        TTypeData6& def = Def();
        for (int32_t p = 0; p < def.GetParameterCount(); ++p) {
            const std::string n = def.GetParamFormat(p)->GetUnits();
            const int was = n[0] - 'A';
            bool whole = def.GetParamName(p, 0) == n + "1 English" && def.GetParamName(p, 1) == n + "1 Deutsch";
            for (int32_t s = 0; s < 3; ++s) whole = whole && def.GetValue(p, s) == 100 * was + s;
            order += whole ? n : "?";
        }
        return order;
    }
    // Keys as the keyboard sends them while Ctrl is held (QTest would press
    // and release Ctrl around each key).
    void Send(QEvent::Type type, int key, Qt::KeyboardModifiers mods) {
        QKeyEvent event(type, key, mods);
        QApplication::sendEvent(Focus(), &event);
    }
    void Move(int from, Qt::Key key, int times) {
        Cell(0, from, ColValue);
        Send(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
        for (int i = 0; i < times; ++i) {
            Send(QEvent::KeyPress, key, Qt::ControlModifier);
            Send(QEvent::KeyRelease, key, Qt::ControlModifier);
        }
    }
    void Release() { Send(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier); }
};

TEST_F(RowMoveKeys, TheParameterGoesWhereCtrlIsReleased) {
    struct Case {
        int From;
        Qt::Key Key;
        int Times;
        std::string Order;
        int Row;  // the current row afterwards
    };
    const Case cases[] = {
        {1, Qt::Key_Down, 2, "BCAD", 3},
        {4, Qt::Key_Up, 3, "DABC", 1},
        {2, Qt::Key_Down, 2, "ACDB", 4},  // to the end
        {2, Qt::Key_Down, 5, "ACDB", 4},  // the last row stops it
        {1, Qt::Key_Up, 1, "ABCD", 1},
    };
    for (bool expert : {false, true}) {
        OpenSample(expert);
        FillFour();
        for (const Case& c : cases) {
            FillFour();
            W->Modified = false;
            Move(c.From, c.Key, c.Times);
            ASSERT_TRUE(W->TypeGrid->RowMove().Active);
            EXPECT_EQ(W->TypeGrid->RowMove().Source, c.From - 1);
            EXPECT_EQ(W->TypeGrid->RowMove().Target, c.Row - 1);
            Release();
            EXPECT_FALSE(W->TypeGrid->RowMove().Active);
            EXPECT_EQ(Order(), c.Order) << c.From << " expert " << expert;
            EXPECT_EQ(W->DataGrid->currentIndex().row(), c.Row);
            EXPECT_EQ(Shown(c.Row, ColUnits), c.Order.substr(static_cast<size_t>(c.Row - 1), 1));
            EXPECT_TRUE(W->Modified);  // reported also when nothing moved
        }
        W->Modified = false;
        Main.reset();
        W = nullptr;
        WriteRegistry("");
    }
}

TEST_F(RowMoveKeys, AnythingElseEndsTheMoveWithoutMoving) {
    OpenSample(false);
    FillFour();
    // Another key with Ctrl held: the status bar names it.
    Move(1, Qt::Key_Down, 2);
    Send(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    EXPECT_FALSE(W->TypeGrid->RowMove().Active);
    EXPECT_EQ(W->StatusPanels[3]->text(), "65");
    Release();
    EXPECT_EQ(Order(), "ABCD");
    // The grid losing the focus.
    Move(1, Qt::Key_Down, 1);
    W->TreeView->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(W->TypeGrid->RowMove().Active);
    Release();
    EXPECT_EQ(Order(), "ABCD");
    // The timer finding Ctrl up.
    Move(1, Qt::Key_Down, 1);
    W->TypeGrid->RowMove().CtrlHeld = [] { return false; };
    QTest::qWait(450);
    EXPECT_FALSE(W->TypeGrid->RowMove().Active);
    Release();
    EXPECT_EQ(Order(), "ABCD");
    // A command (HideEditors) and a change of tab.
    W->TypeGrid->RowMove().CtrlHeld = [] { return true; };
    Move(1, Qt::Key_Down, 1);
    W->HideEditors();
    EXPECT_FALSE(W->TypeGrid->RowMove().Active);
    Move(1, Qt::Key_Down, 1);
    W->TabControl->setCurrentIndex(1);
    EXPECT_FALSE(W->TypeGrid->RowMove().Active);
    Release();
    EXPECT_EQ(Order(), "ABCD");
    EXPECT_FALSE(W->Modified);
    // Ctrl on another tab starts nothing.
    Cell(1, 1, 1);
    Send(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    EXPECT_FALSE(W->TypeGrid->RowMove().Active);
    Release();
}

}  // namespace
