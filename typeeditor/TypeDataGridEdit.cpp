// The editing side of the type grid: opening the editor of a cell, the
// grid's own one-line editor, the text and switch panels, the units combo,
// the first typed key, the Delete key and the parameter row move.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTimer>
#include <algorithm>

#include "Appinterface.h"
#include "BinaryEditBar.h"
#include "EditKeys.h"
#include "QtText.h"
#include "TypeDataGrid.h"
#include "TypeGridEditing.h"
#include "TypeObject.h"
#include "TypeWindow.h"
#include "Typedata.h"

namespace {

// The text panel holds the description of a parameter's text: what the
// text keeps after the code and its blank.
constexpr int32_t TextLines = 3,
                  TextMaxLength = static_cast<int32_t>(_ParamName::TextLength - _ParamName::CodeLength - 1);
constexpr int32_t SwitchLines = 2, SwitchMaxLength = static_cast<int32_t>(_LangItem::SwitchTextLength);

// A character that becomes an editor's content: printable ones only, so
// that Enter or another control key opens an editor with what it holds.
bool IsContentCharacter(const QString& typed) {
    return typed.size() == 1 && typed[0].isPrint();
}

// The lines of a multi-line editor as it shows them (wrapped).
std::vector<std::string> ShownLines(QPlainTextEdit* editor, int32_t columns) {
    std::vector<std::string> lines;
    QTextDocument* doc = editor->document();
    for (QTextBlock block = doc->firstBlock(); block.isValid(); block = block.next()) {
        doc->documentLayout()->blockBoundingRect(block);  // lays the block out
        const QString text = block.text();
        QTextLayout* layout = block.layout();
        if (!layout || layout->lineCount() == 0 || !editor->isVisible()) {
            // Not laid out on a screen: the editor's own wrap rule.
            for (std::string& line : WrapFixedPitch(CpStr(text), columns)) lines.push_back(std::move(line));
            continue;
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            lines.push_back(CpStr(text.mid(line.textStart(), line.textLength())));
        }
    }
    return lines;
}

}  // namespace

// ---------------------------------------------------------------- events

// Keys, focus and clicks of the grid and its editors, handed to the grid
// object's handlers.
class TTypeGridEvents : public QObject {
public:
    TTypeGridEvents(TTypeObjectDataGrid* grid, QObject* parent) : QObject(parent), Grid(grid) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        _TypeGridContext* c = Grid->Context;
        const bool onGrid = watched == c->DataGrid;
        switch (event->type()) {
        case QEvent::KeyPress:
            if (onGrid) return Grid->DataGridKeyDown(static_cast<QKeyEvent*>(event));
            return Grid->EditorKey(watched, static_cast<QKeyEvent*>(event));
        case QEvent::ShortcutOverride:
            // Esc, Enter, Tab and Ctrl+Enter belong to an open editor, not
            // to a shortcut nor to the units list (which would take its
            // highlighted entry).
            if (!onGrid) {
                auto* key = static_cast<QKeyEvent*>(event);
                const int k = key->key();
                if (k == Qt::Key_Escape || k == Qt::Key_Return || k == Qt::Key_Enter ||
                    EditorOwnsKey(*key, true) || EditorOwnsKey(*key, false)) {
                    event->accept();
                    return true;
                }
            }
            return false;
        case QEvent::KeyRelease:
            if (onGrid) return Grid->DataGridKeyUp(static_cast<QKeyEvent*>(event));
            return false;
        case QEvent::FocusOut: {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            // A popup menu or another application leaves the editor open.
            if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return false;
            if (onGrid) Grid->DataGridExit();
            else Grid->EditorFocusOut(watched);
            return false;
        }
        default: return false;
        }
    }

private:
    TTypeObjectDataGrid* Grid;
};

void TTypeObjectDataGrid::AttachEditors() {
    Events = new TTypeGridEvents(this, Context->DataGrid);
    Context->DataGrid->installEventFilter(Events);
    QObject::connect(Context->DataGrid, &QAbstractItemView::doubleClicked, Events, [this] { StartEdit(false); });
    if (QComboBox* units = Context->UnitsCombo) {
        units->installEventFilter(Events);
        if (units->lineEdit()) units->lineEdit()->installEventFilter(Events);
        units->view()->installEventFilter(Events);
        units->setInsertPolicy(QComboBox::NoInsert);
        // No more than the parameter's units keep.
        if (units->lineEdit()) units->lineEdit()->setMaxLength(static_cast<int>(_ParamFormatItem::UnitsLength));
        QObject::connect(units, &QComboBox::editTextChanged, Events,
                         [this](const QString& text) { cmbboxUnitsChange(text); });
    }
    for (QPlainTextEdit* memo : {Context->TextEditor, Context->SwitchEditor}) {
        if (!memo) continue;
        memo->installEventFilter(Events);
        memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        // A scroll bar would take room from the lines and wrap them narrower
        // than the grid shows them; the editors never hold more lines than
        // they show.
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        memo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        const bool param = memo == Context->TextEditor;
        QObject::connect(memo, &QPlainTextEdit::textChanged, Events, [this, memo, param] {
            MemoChange(memo, param ? TextLines : SwitchLines, param ? TextMaxLength : SwitchMaxLength);
        });
    }
}

void TTypeObjectDataGrid::DetachEditors() {
    if (!Events) return;
    for (QObject* o : std::initializer_list<QObject*>{
             Context->DataGrid, Context->UnitsCombo, Context->TextEditor, Context->SwitchEditor,
             Context->UnitsCombo ? Context->UnitsCombo->lineEdit() : nullptr,
             Context->UnitsCombo ? Context->UnitsCombo->view() : nullptr})
        if (o) o->removeEventFilter(Events);
    delete Events;  // its connections go with it
    Events = nullptr;
}

void TTypeObjectDataGrid::Modified() {
    if (Context->OnModified) Context->OnModified();
}

// ---------------------------------------------------------------- starting an edit

void TTypeObjectDataGrid::StartEdit(bool clear, const QString& typed) {
    TTypeGridView* view = Context->DataGrid;
    if (GridEditor() || TextOpen || SwitchOpen || UnitsOpen) return;
    const QModelIndex at = view->currentIndex();
    if (!at.isValid()) return;
    const int32_t row = at.row(), col = at.column();
    const bool expert = Context->App && Context->App->ExpertMode != 0;
    const TGridEditPlan plan =
        PlanGridEdit(*Context->TypeObject, GridLayout, CurrentLanguage(), expert, row, col, clear);
    const QRect cell = view->visualRect(at);
    const QPoint popup = view->viewport()->mapToGlobal(cell.topLeft());
    const bool content = IsContentCharacter(typed);
    switch (plan.Editor) {
    case TGridEditor::None: return;
    case TGridEditor::GridText:
        GridEdit = {GridLayout.Kind, GridLayout.Table, row, col, plan.Text, clear, false};
        view->edit(at);
        if (QLineEdit* editor = GridEditor(); editor && content) {
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, typed);
            QApplication::sendEvent(editor, &key);
        }
        return;
    case TGridEditor::Binary: {
        const uint32_t value = TfrmBinaryEditBar::Execute(Context->Window, plan.Bits, plan.Value, popup.x(), popup.y());
        view->setFocus(Qt::OtherFocusReason);
        // The bar returns its value however it was closed: always stored.
        if (StoreBinaryResult(*Context->TypeObject, GridLayout, row, col, value)) {
            view->viewport()->update();
            Modified();
        }
        return;
    }
    case TGridEditor::Toggle:
        ToggleSwitch(Context->TypeObject->GetTypeData(), plan.Switch, clear);
        view->viewport()->update();
        Modified();
        return;
    case TGridEditor::ParamText:
        if (!Context->TextPanel || !Context->TextEditor) return;
        EditParameter = plan.Parameter;
        TextOpen = true;
        ShowPanel(Context->TextPanel, Context->TextEditor, cell, TextLines, plan.Text, content ? typed : QString());
        return;
    case TGridEditor::SwitchName:
        if (!Context->SwitchPanel || !Context->SwitchEditor) return;
        EditSwitch = plan.Switch;
        SwitchOpen = true;
        ShowPanel(Context->SwitchPanel, Context->SwitchEditor, cell, SwitchLines, plan.Text,
                  content ? typed : QString());
        return;
    case TGridEditor::Units: {
        QComboBox* units = Context->UnitsCombo;
        if (!units) return;
        Filling = true;
        units->clear();
        if (Context->App && Context->App->UnitsList) {
            // The shared list keeps the sorted order from now on.
            SortUnits(*Context->App->UnitsList);
            for (const std::string& u : *Context->App->UnitsList) units->addItem(QStr(u));
        }
        units->setEditText(QStr(plan.Text));
        UnitsText = plan.Text;
        UnitsParameter = plan.Parameter;
        UnitsAccept = 0;
        // At the cell's top, as wide as the cell; a combo box is as tall as
        // its font needs.
        const QPoint topLeft = view->viewport()->mapTo(units->parentWidget(), cell.topLeft());
        units->setGeometry(topLeft.x(), topLeft.y(), cell.width() + 2, units->sizeHint().height());
        units->raise();
        units->show();
        UnitsOpen = true;
        units->setFocus(Qt::OtherFocusReason);
        if (units->lineEdit()) units->lineEdit()->selectAll();
        Filling = false;
        if (content) {
            // The first key becomes the units text.
            units->setEditText(typed);
            if (units->lineEdit()) units->lineEdit()->setCursorPosition(1);
        }
        units->showPopup();
        // The list's own key handling comes after ours (the last filter
        // installed is asked first): Enter and Esc end the edit, typed keys
        // go into the text.
        units->view()->installEventFilter(Events);
        return;
    }
    }
}

// ---------------------------------------------------------------- the grid's own editor

QWidget* TTypeGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
    // Only the cell StartEdit planned: the view opens no editor of its own
    // (Tab in an editor stores it and moves on without opening the next).
    if (index.row() != Grid->GridEdit.Row || index.column() != Grid->GridEdit.Col || Grid->GridEdit.Opened)
        return nullptr;
    Grid->GridEdit.Opened = true;
    auto* editor = new QLineEdit(parent);
    editor->setObjectName("DataGridEditor");
    editor->setFrame(false);
    // The text stays where the cell shows it: at the top of a tall row.
    editor->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A parameter's code is as long as its text keeps it; numbers are read
    // whole.
    if (Grid->GridEdit.Kind == _TypeSelection::KindParameters && index.column() == ColPar)
        editor->setMaxLength(static_cast<int>(_ParamName::CodeLength));
    connect(editor, &QLineEdit::textEdited, this, [this] { Grid->GridEdit.Store = true; });
    Editor = editor;
    return editor;
}

void TTypeGridDelegate::setEditorData(QWidget* editor, const QModelIndex&) const {
    if (auto* line = qobject_cast<QLineEdit*>(editor)) Grid->FillGridEditor(line);
}

void TTypeGridDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex&) const {
    if (auto* line = qobject_cast<QLineEdit*>(editor)) Grid->DataGridSetEditText(line->text());
}

void TTypeGridDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
    if (Editor == editor) Editor = nullptr;
    Grid->GridEdit.Store = false;
    Grid->GridEdit.Row = Grid->GridEdit.Col = -1;
    QStyledItemDelegate::destroyEditor(editor, index);
}

void TTypeObjectDataGrid::FillGridEditor(QLineEdit* editor) {
    const QSignalBlocker quiet(editor);
    editor->setText(QStr(GridEdit.Text));
    editor->selectAll();
}

void TTypeObjectDataGrid::DataGridSetEditText(const QString& text) {
    // Only a text that was typed (or an editor that Delete opened) is
    // stored; the cell must still be the one the editor was opened on.
    if (!GridEdit.Store) return;
    GridEdit.Store = false;
    if (GridEdit.Kind != GridLayout.Kind || GridEdit.Table != GridLayout.Table) return;
    const bool expert = Context->App && Context->App->ExpertMode != 0;
    if (StoreGridText(*Context->TypeObject, GridLayout, CurrentLanguage(), expert, GridEdit.Row, GridEdit.Col,
                      CpStr(text))) {
        Context->DataGrid->viewport()->update();
        Modified();
    }
}

// ---------------------------------------------------------------- the multi-line editors

void TTypeObjectDataGrid::ShowPanel(QFrame* panel, QPlainTextEdit* editor, const QRect& cell, int32_t lines,
                                    const std::string& text, const QString& typed) {
    Filling = true;
    editor->setPlainText(QStr(text));
    MemoBefore = editor->toPlainText();
    Filling = false;
    EditorChanged = 0;
    // Over the cell, and tall enough for its lines.
    const QFontMetrics fm(editor->font());
    const int needed = lines * fm.lineSpacing() + fm.lineSpacing() / 2 + 2 * editor->frameWidth() +
                       static_cast<int>(2 * editor->document()->documentMargin());
    panel->setGeometry(cell.left() + 1, cell.top(), panel->width(), std::max(cell.height(), needed));
    panel->raise();
    panel->show();
    editor->setFocus(Qt::OtherFocusReason);
    editor->selectAll();
    if (!typed.isEmpty()) {
        // The first key becomes the content (and counts as a change).
        editor->setPlainText(typed);
        editor->moveCursor(QTextCursor::End);
    }
}

void TTypeObjectDataGrid::MemoChange(QPlainTextEdit* editor, int32_t maxLines, int32_t maxLength) {
    if (Filling) return;
    EditorChanged = 1;
    Filling = true;
    // At most maxLength characters: what would pass them is refused (a
    // paste is cut to what still fits).
    RefuseBeyondLength(editor, MemoBefore, maxLength);
    int32_t seen = 0;
    QTextDocument* doc = editor->document();
    for (QTextBlock block = doc->firstBlock(); block.isValid(); block = block.next()) {
        doc->documentLayout()->blockBoundingRect(block);
        QTextLayout* layout = block.layout();
        const int count = layout && layout->lineCount() > 0 ? layout->lineCount() : 1;
        if (seen + count > maxLines) {
            // Everything after the last line that may stay goes.
            const int keep = maxLines - seen;
            int from = block.position();
            if (keep > 0 && layout && layout->lineCount() > 0) {
                const QTextLine last = layout->lineAt(keep - 1);
                from += last.textStart() + last.textLength();
            } else if (block.position() > 0) {
                from -= 1;  // the line break before this block
            }
            QTextCursor rest(doc);
            rest.setPosition(from);
            rest.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            rest.removeSelectedText();
            break;
        }
        seen += count;
    }
    MemoBefore = editor->toPlainText();
    Filling = false;
}

void TTypeObjectDataGrid::MemoExit(bool param) {
    bool& open = param ? TextOpen : SwitchOpen;
    if (!open) return;
    open = false;
    QPlainTextEdit* editor = param ? Context->TextEditor : Context->SwitchEditor;
    QFrame* panel = param ? Context->TextPanel : Context->SwitchPanel;
    if (EditorChanged) {
        EditorChanged = 0;
        TTypeData6& def = Context->TypeObject->GetTypeData();
        const int32_t language = CurrentLanguage();
        if (param) {
            const std::string text = ComposeEditorLines(ShownLines(editor, TextColumns), TextLines, TextColumns);
            std::string code, old;
            SplitParamName(def.GetParamName(EditParameter, language), code, old);
            def.SetParamNameRaw(EditParameter, language, JoinParamName(code, text));
        } else if (_LangItem* lang = def.GetLanguage(language)) {
            lang->SetSwitchText(EditSwitch, ComposeEditorLines(ShownLines(editor, SwitchColumns), SwitchLines, SwitchColumns));
        }
        Modified();
    }
    // The grid takes the focus first: a hidden editor would hand it on to
    // the next cell.
    Context->DataGrid->setFocus(Qt::OtherFocusReason);
    panel->hide();
    Context->DataGrid->viewport()->update();
}

// ---------------------------------------------------------------- the units combo

void TTypeObjectDataGrid::cmbboxUnitsChange(const QString& text) {
    if (Filling || !UnitsOpen) return;
    UnitsText = CpStr(text);
    UnitsAccept = 1;
}

void TTypeObjectDataGrid::cmbboxUnitsExit() {
    if (!UnitsOpen) return;
    UnitsOpen = false;
    QComboBox* units = Context->UnitsCombo;
    if (UnitsAccept) {
        UnitsAccept = 0;
        if (_ParamFormatItem* format = Context->TypeObject->GetTypeData().GetParamFormat(UnitsParameter)) {
            format->SetUnits(StoredUnits(UnitsText));
            if (Context->App && Context->App->UnitsList) Context->App->AddRecentUnit(format->GetUnits());
            Modified();
        }
    }
    units->hidePopup();
    Context->DataGrid->setFocus(Qt::OtherFocusReason);
    units->hide();
    Context->DataGrid->viewport()->update();
}

// ---------------------------------------------------------------- editor keys and focus

bool TTypeObjectDataGrid::EditorKey(QObject* watched, QKeyEvent* key) {
    const int k = key->key();
    QComboBox* units = Context->UnitsCombo;
    if (UnitsOpen && units && (watched == units || watched == units->lineEdit() || watched == units->view())) {
        const TEditEnd end = EditorEndKey(*key, false);
        if (end == TEditEnd::None) {
            // While the list is dropped down, what is typed goes into the
            // combo's text; only the keys that walk the list stay with it.
            const bool walk = k == Qt::Key_Up || k == Qt::Key_Down || k == Qt::Key_PageUp || k == Qt::Key_PageDown;
            if (watched != units->view() || walk || !units->lineEdit()) return false;
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat());
            QApplication::sendEvent(units->lineEdit(), &copy);
            return true;
        }
        // Enter, Tab and Ctrl+Enter accept the units as they stand; Esc
        // keeps the stored ones.
        UnitsAccept = end == TEditEnd::Store ? 1 : 0;
        cmbboxUnitsExit();
        return true;
    }
    const bool param = watched == Context->TextEditor;
    if ((param && TextOpen) || (watched == Context->SwitchEditor && SwitchOpen)) {
        // Enter starts a new line; Tab and Ctrl+Enter store what was typed,
        // Esc discards it.
        const TEditEnd end = EditorEndKey(*key, true);
        if (end == TEditEnd::None) return false;
        if (end == TEditEnd::Discard) EditorChanged = 0;
        MemoExit(param);
        return true;
    }
    return false;
}

void TTypeObjectDataGrid::EditorFocusOut(QObject* watched) {
    QComboBox* units = Context->UnitsCombo;
    if (UnitsOpen && units && (watched == units || watched == units->lineEdit())) {
        // Focus moving inside the combo (to its line or its list) is no exit.
        QWidget* now = QApplication::focusWidget();
        if (now && (now == units || units->isAncestorOf(now) || now == units->view())) return;
        QTimer::singleShot(0, Events, [this] {
            QWidget* focus = QApplication::focusWidget();
            QComboBox* u = Context->UnitsCombo;
            if (UnitsOpen && !(focus && (focus == u || u->isAncestorOf(focus) || u->view()->isAncestorOf(focus))))
                cmbboxUnitsExit();
        });
        return;
    }
    if (watched == Context->TextEditor) MemoExit(true);
    else if (watched == Context->SwitchEditor) MemoExit(false);
}

// ---------------------------------------------------------------- grid keys

bool TTypeObjectDataGrid::DataGridKeyDown(QKeyEvent* key) {
    TTypeGridView* view = Context->DataGrid;
    const int k = key->key();
    const Qt::KeyboardModifiers mods = key->modifiers() & (Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier);
    TRecMoveStruct& move = *RecMove;
    // The row move.
    if (k == Qt::Key_Control) {
        if (!move.Active && GridLayout.Kind == _TypeSelection::KindParameters && !GridLayout.Empty &&
            !GridEditor()) {
            move.Source = move.Target = std::max(view->currentIndex().row(), 1) - 1;
            move.Active = 1;
            move.Timer->start();
            view->viewport()->update();
            return true;
        }
        return move.Active != 0;
    }
    if (move.Active) {
        if ((k == Qt::Key_Up || k == Qt::Key_Down) && (mods & Qt::ControlModifier)) {
            const QModelIndex at = view->currentIndex();
            const int row = at.row();
            const int next = k == Qt::Key_Up ? row - 1 : row + 1;
            if (next >= 1 && next < GridLayout.RowCount) {
                // A move of the current cell like any other: the window's
                // selection follows it.
                view->setCurrentIndex(at.sibling(next, at.column()));
                view->scrollTo(view->currentIndex());
                move.Target = next - 1;
                view->viewport()->update();
                return true;
            }
            return false;
        }
        EndRowMove();
    }
    if (GridEditor()) return false;
    // The Delete key opens the editor empty.
    if (k == Qt::Key_Delete && mods == Qt::NoModifier) {
        StartEdit(true);
        return true;
    }
    if ((k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_F2) && mods == Qt::NoModifier) {
        StartEdit(false);
        return true;
    }
    // A typed character opens the editor and becomes its content.
    if (!(mods & (Qt::ControlModifier | Qt::AltModifier)) && IsContentCharacter(key->text())) {
        StartEdit(false, key->text());
        return true;
    }
    return false;
}

bool TTypeObjectDataGrid::DataGridKeyUp(QKeyEvent* key) {
    TRecMoveStruct& move = *RecMove;
    if (key->key() != Qt::Key_Control || !move.Active || key->isAutoRepeat()) return false;
    move.Active = 0;
    move.Timer->stop();
    TTypeGridView* view = Context->DataGrid;
    move.Target = std::max(view->currentIndex().row(), 1) - 1;
    MoveParameter(Context->TypeObject->GetTypeData(), move.Source, move.Target);
    view->viewport()->update();
    Modified();
    return true;
}

void TTypeObjectDataGrid::DataGridExit() { EndRowMove(); }

void TTypeObjectDataGrid::EndRowMove() {
    TRecMoveStruct& move = *RecMove;
    move.Timer->stop();
    if (!move.Active) return;
    move.Active = 0;
    Context->DataGrid->viewport()->update();
}

void TTypeObjectDataGrid::RecMoveTimer() {
    TRecMoveStruct& move = *RecMove;
    if (!move.Active) {
        move.Timer->stop();
        return;
    }
    if (!move.CtrlHeld() || !move.WindowActive()) EndRowMove();
}

// ---------------------------------------------------------------- the row move's record

TRecMoveStruct::TRecMoveStruct(_TypeGridContext* context, const std::function<void()>& tick) : Context(context) {
    Timer = new QTimer;
    Timer->setInterval(300);
    QObject::connect(Timer, &QTimer::timeout, Timer, tick);
    CtrlHeld = [] { return (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) != 0; };
    WindowActive = [this] {
        TfrmTypeObject* window = Context->Window;
        if (!window) return false;
        QMdiArea* area = window->mdiArea();
        if (area && area->activeSubWindow() != window) return false;
        return window->isActiveWindow();
    };
}

TRecMoveStruct::~TRecMoveStruct() { delete Timer; }
