// The right pane of a type window: a tab per element kind (parameters,
// configuration switches, each table) over one grid that shows data set 0
// of the chosen element. The grid is a model on a table view: no item per
// cell; a delegate paints every cell with the grid's geometry and colours.
#pragma once

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QFont>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTableView>
#include <cstdint>
#include <functional>
#include <memory>

#include "EnterReport.h"
#include "TypeGridLayout.h"
#include "TypeSelection.h"

class QComboBox;
class QFrame;
class QKeyEvent;
class QPlainTextEdit;
class QTimer;
class TTypeObjectData;
class TTypeObjectDataGrid;
class TfrmTypeObject;
struct _AppInterface;

class TTypeTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit TTypeTabBar(QWidget* parent = nullptr);
    TEnterReport Enter;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

class TTypeGridView : public QTableView {
    Q_OBJECT
public:
    explicit TTypeGridView(QWidget* parent = nullptr);
    TEnterReport Enter;
    // The user moved the current cell.
    std::function<void()> OnUserMove;
    std::function<void()> OnResize;
    // While set, moves of the current cell are the program's own.
    bool Quiet = false;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void resizeEvent(QResizeEvent* event) override;
};

// What the window hands its grid object.
struct _TypeGridContext {
    TfrmTypeObject* Window = nullptr;
    TTypeObjectData* TypeObject = nullptr;
    TTypeTabBar* TabControl = nullptr;
    TTypeGridView* DataGrid = nullptr;
    QComboBox* UnitsCombo = nullptr;
    _AppInterface* App = nullptr;
    std::function<void()> OnModified;
    std::function<void()> OnSelectionChanged;
    std::function<void(const QPoint&)> OnContextPopup;
    const int32_t* CurrentLanguage = nullptr;
    QPlainTextEdit* TextEditor = nullptr;
    QFrame* TextPanel = nullptr;
    QPlainTextEdit* SwitchEditor = nullptr;
    QFrame* SwitchPanel = nullptr;
};

// The cells as a model: texts are made when asked for.
class TTypeGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TTypeGridModel(TTypeObjectDataGrid* grid) : Grid(grid) {}
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // Data cells can be edited; the grid object decides which editor opens.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    void Reset(const std::function<void()>& change);

private:
    TTypeObjectDataGrid* Grid;
};

// Row 0 and column 0 of the grid stay in place while the cells scroll: the
// view's own headers show them (the model keeps its numbering; the view
// hides row 0 and column 0 among the cells), painted as fixed cells.
class TTypeGridHeader : public QHeaderView {
    Q_OBJECT
public:
    TTypeGridHeader(Qt::Orientation orientation, TTypeObjectDataGrid* grid, QWidget* parent);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    TTypeObjectDataGrid* Grid;
};

// Paints a cell as the grid's owner draws it, and gives the grid's own
// one-line editor.
class TTypeGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TTypeGridDelegate(TTypeObjectDataGrid* grid, QObject* parent) : QStyledItemDelegate(parent), Grid(grid) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    // The editor open now, or null.
    QLineEdit* OpenEditor() const { return Editor; }

private:
    TTypeObjectDataGrid* Grid;
    mutable QPointer<QLineEdit> Editor;
};

// The parameter row move with the Ctrl key: active from a Ctrl key-down on
// the Parameters tab until Ctrl is released (the move happens) or another
// key, a loss of focus, a tab change or the timer ends it.
struct TRecMoveStruct {
    uint8_t Active = 0;
    QTimer* Timer = nullptr;  // owned; 300 ms, running while a move is active
    _TypeGridContext* Context = nullptr;
    int32_t Source = 0;
    int32_t Target = 0;
    // Whether Ctrl is held now; tests stand in for the keyboard.
    std::function<bool()> CtrlHeld;
    // Whether the type window is the active window.
    std::function<bool()> WindowActive;

    TRecMoveStruct(_TypeGridContext* context, const std::function<void()>& tick);
    ~TRecMoveStruct();
    TRecMoveStruct(const TRecMoveStruct&) = delete;
    TRecMoveStruct& operator=(const TRecMoveStruct&) = delete;
};

// The text at (left + 2, top + 3), clipped to the cell less one pixel on
// each side; a text wider than the cell less 10 pixels gets "..." over the
// cell's last 10 pixels (cells of 11 pixels and more).
void DrawCellText(QPainter* painter, const QRect& cell, const QString& text, const QBrush& background);

class TTypeObjectDataGrid {
public:
    explicit TTypeObjectDataGrid(_TypeGridContext* context);
    ~TTypeObjectDataGrid();
    TTypeObjectDataGrid(const TTypeObjectDataGrid&) = delete;
    TTypeObjectDataGrid& operator=(const TTypeObjectDataGrid&) = delete;

    // Tabs and layout after a change of the type.
    void Refresh();
    // Shows the tab of the selection; the current cell stays.
    void Select(const _TypeSelection& selection);
    _TypeSelection GetSelection();
    int32_t GetViewSlot() const;
    void HideEditors();
    // Ends an active row move without moving.
    void EndRowMove();
    TRecMoveStruct& RowMove() { return *RecMove; }
    const TRecMoveStruct& RowMove() const { return *RecMove; }
    // Opens the current cell's editor as the grid does on a double click,
    // Enter or F2; clear: as the Delete key does (the editor opens empty);
    // typed: the character that opened it.
    void StartEdit(bool clear, const QString& typed = QString());
    QLineEdit* GridEditor() const { return Delegate->OpenEditor(); }

    const TTypeGridLayout& Layout() const { return GridLayout; }
    const TTypeGridTexts& Texts() const { return CaptionTexts; }
    TTypeObjectData* TypeObject() const { return Context->TypeObject; }
    int32_t CurrentLanguage() const { return Context->CurrentLanguage ? *Context->CurrentLanguage : 0; }
    QString CellText(int row, int col) const;
    // The parameter-text and switch-name editors' fonts and widths in characters.
    QFont EditorFont() const { return FixedFont; }
    static constexpr int TextColumns = 21;
    static constexpr int SwitchColumns = 18;
    TTypeGridView* View() const { return Context->DataGrid; }

private:
    _TypeGridContext* Context;
    TTypeGridTexts CaptionTexts;
    TTypeGridLayout GridLayout;
    _TypeSelection Selection;
    std::unique_ptr<TTypeGridModel> Model;
    TTypeGridDelegate* Delegate;
    QObject* CornerPainter = nullptr;
    QFont FixedFont;

    // The grid's one-line editor: the cell it edits and whether its text
    // is to be stored when it closes (typed into, or opened by Delete).
    struct TGridEdit {
        uint8_t Kind = 0;
        int32_t Table = -1, Row = -1, Col = -1;
        std::string Text;
        bool Store = false;
        bool Opened = false;  // its editor was made
    } GridEdit;
    // The units combo.
    bool UnitsOpen = false;
    std::string UnitsText;
    uint8_t UnitsAccept = 0;
    int32_t UnitsParameter = -1;
    // The multi-line editors.
    bool TextOpen = false, SwitchOpen = false;
    uint8_t EditorChanged = 0;
    QString MemoBefore;  // the open editor's text before the last change
    int32_t EditParameter = -1, EditSwitch = -1;
    bool Filling = false;  // the program itself fills an editor
    std::unique_ptr<TRecMoveStruct> RecMove;
    QObject* Events = nullptr;  // the event filter on the grid and its editors

    void RebuildTabs();
    void LayoutGrid(bool force);
    void TabControlChange(int index);
    void Report();
    void Modified();
    void AttachEditors();
    void DetachEditors();
    friend class TTypeGridDelegate;
    friend class TTypeGridEvents;
    void FillGridEditor(QLineEdit* editor);
    void DataGridSetEditText(const QString& text);
    bool DataGridKeyDown(QKeyEvent* key);
    bool DataGridKeyUp(QKeyEvent* key);
    void DataGridExit();
    void RecMoveTimer();
    void ShowPanel(QFrame* panel, QPlainTextEdit* editor, const QRect& cell, int32_t lines, const std::string& text,
                   const QString& typed);
    void MemoChange(QPlainTextEdit* editor, int32_t maxLines, int32_t maxLength);
    void MemoExit(bool param);
    void cmbboxUnitsChange(const QString& text);
    void cmbboxUnitsExit();
    bool EditorKey(QObject* watched, QKeyEvent* key);
    void EditorFocusOut(QObject* watched);
};
