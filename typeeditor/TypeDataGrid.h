// The right pane of a type window: a tab per element kind (parameters,
// configuration switches, each table) over one grid that shows data set 0
// of the chosen element. The grid is a model on a table view: no item per
// cell; a delegate paints every cell with the grid's geometry and colours.
#pragma once

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QFont>
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
class QPlainTextEdit;
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

// Paints a cell as the grid's owner draws it.
class TTypeGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TTypeGridDelegate(TTypeObjectDataGrid* grid, QObject* parent) : QStyledItemDelegate(parent), Grid(grid) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    TTypeObjectDataGrid* Grid;
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

    const TTypeGridLayout& Layout() const { return GridLayout; }
    const TTypeGridTexts& Texts() const { return CaptionTexts; }
    TTypeObjectData* TypeObject() const { return Context->TypeObject; }
    int32_t CurrentLanguage() const { return Context->CurrentLanguage ? *Context->CurrentLanguage : 0; }
    QString CellText(int row, int col) const;
    // The parameter-text and switch-name editors' fonts and widths in characters.
    QFont EditorFont() const { return FixedFont; }
    static constexpr int TextColumns = 21;
    static constexpr int SwitchColumns = 18;
    // The tab shown now (-1 none).
    int32_t CurrentTab() const;
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

    void RebuildTabs();
    void LayoutGrid(bool force);
    void TabControlChange(int index);
    void Report();
};
