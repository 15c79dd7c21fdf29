// What the manager windows share: the common protocol of a document window
// (menu merged while active, tool bar lent to the main window in flexible
// mode, placement saved on close) and their creators.
#pragma once

#include <QAction>
#include <QHeaderView>
#include <QKeySequence>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include "Actions.h"
#include "MDICustomChild.h"

class QMenu;
class QToolBar;

class TManagerChild : public TMDICustomChild {
    Q_OBJECT
public:
    // placement: index into the record's WindowPlacements, -1 none;
    // slot: main-window tool bar, -1 none.
    TManagerChild(_AppInterface* app, uint32_t kind, int placement, int slot);
    ~TManagerChild() override;

public slots:
    virtual bool FormCloseQuery();
    void FormClose();

protected:
    // Activation: the window's menu in the main menu, its tool bar's buttons
    // on the main window's tool bar of its slot.
    void FormActivate() override;
    void FormDeactivate() override;
    // Set by the window: its menu ("&Edit", group index 1) and its tool bar.
    QMenu* OwnMenu = nullptr;
    QToolBar* OwnToolBar = nullptr;
    const int Placement;
    const int Slot;
    // The last step of creation: the placement from the record.
    void RestorePlacement();
    // Keeps the window at least at the designed size and at what its content
    // needs (longer texts, a bigger font); a window below that grows.
    void GrowToContent(QSize designed);
    void closeEvent(QCloseEvent* event) override;
};

// The rows of a window's grid, each painted by the window itself.
template <typename TWindow>
class TOwnerDrawnRows : public QStyledItemDelegate {
public:
    explicit TOwnerDrawnRows(TWindow* form) : QStyledItemDelegate(form), Form(form) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        painter->save();
        Form->DataGridDrawCell(*painter, index.row(), option.rect, option.state & QStyle::State_Selected);
        painter->restore();
    }

private:
    TWindow* Form;
};

// The grid of a window's rows: one column, no headers, rows of a fixed
// height each painted by the window, one row selected at a time, the first
// current; the window sees the grid's keys and mouse events.
template <typename TWindow>
QTableWidget* NewOwnerDrawnGrid(TWindow* form, int rows, int rowHeight) {
    auto* grid = new QTableWidget(rows, 1);
    grid->setObjectName("DataGrid");
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(rowHeight);
    grid->setShowGrid(false);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setMinimumSize(280, 100);
    grid->setItemDelegate(new TOwnerDrawnRows<TWindow>(form));
    grid->setCurrentCell(0, 0);
    grid->installEventFilter(form);
    grid->viewport()->installEventFilter(form);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    return grid;
}

// Creates a window, shows it and returns it; none when creating fails.
template <typename TWindow>
TMDICustomChild* OpenManagerWindow(_AppInterface* app) {
    TWindow* window = nullptr;
    try {
        window = new TWindow(app);
        window->show();
        return window;
    } catch (...) {
        delete window;
        return nullptr;
    }
}

// Gives a Qt object its component name.
template <typename T>
T* Named(T* object, const char* name) {
    object->setObjectName(name);
    return object;
}
