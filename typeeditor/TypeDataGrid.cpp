#include "TypeDataGrid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>

#include "Appinterface.h"
#include "QtText.h"
#include "Tabledata.h"
#include "TypeObject.h"
#include "TypeGridEditing.h"

// ---------------------------------------------------------------- focus reports

TTypeTabBar::TTypeTabBar(QWidget* parent) : QTabBar(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setExpanding(false);
    setDrawBase(true);
    connect(this, &QTabBar::currentChanged, this, [this] { Enter.Moved(); });
}

void TTypeTabBar::focusInEvent(QFocusEvent* event) {
    QTabBar::focusInEvent(event);
    Enter.FocusIn(event->reason());
}

void TTypeTabBar::mousePressEvent(QMouseEvent* event) {
    QTabBar::mousePressEvent(event);
    Enter.AfterPress();
}

TTypeGridView::TTypeGridView(QWidget* parent) : QTableView(parent) {}

void TTypeGridView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    viewport()->update();  // the current cell changes its colours
    Enter.FocusIn(event->reason());
}

void TTypeGridView::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    viewport()->update();
}

void TTypeGridView::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    Enter.AfterPress();
}

void TTypeGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (Quiet) return;
    Enter.Moved();
    if (OnUserMove) OnUserMove();
}

void TTypeGridView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    if (OnResize) OnResize();
}

// ---------------------------------------------------------------- model and painting

int TTypeGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Grid->Layout().RowCount;
}

int TTypeGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Grid->Layout().ColCount;
}

Qt::ItemFlags TTypeGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.row() > 0 && index.column() > 0) f |= Qt::ItemIsEditable;
    return f;
}

QVariant TTypeGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return QVariant();
    return Grid->CellText(index.row(), index.column());
}

void TTypeGridModel::Reset(const std::function<void()>& change) {
    beginResetModel();
    change();
    endResetModel();
}

TTypeGridHeader::TTypeGridHeader(Qt::Orientation orientation, TTypeObjectDataGrid* grid, QWidget* parent)
    : QHeaderView(orientation, parent), Grid(grid) {
    setSectionsClickable(false);
    setHighlightSections(false);
    setMinimumSectionSize(1);
    setSectionResizeMode(QHeaderView::Fixed);
}

void TTypeGridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    const QPalette& pal = palette();
    painter->save();
    painter->fillRect(rect, pal.button());
    painter->setPen(pal.color(QPalette::Mid));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->setPen(pal.color(QPalette::Text));
    painter->setFont(font());
    const QString text = orientation() == Qt::Horizontal ? Grid->CellText(0, logicalIndex) : Grid->CellText(logicalIndex, 0);
    DrawCellText(painter, rect, text, pal.button());
    painter->restore();
}

QSize TTypeGridDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const { return QSize(80, 20); }

void DrawCellText(QPainter* painter, const QRect& cell, const QString& text, const QBrush& background) {
    if (text.isEmpty()) return;
    painter->save();
    painter->setClipRect(cell.adjusted(1, 1, -1, -1));
    const QFontMetrics fm = painter->fontMetrics();
    painter->drawText(QPoint(cell.left() + 2, cell.top() + 3 + fm.ascent()), text);
    if (fm.horizontalAdvance(text) > cell.width() - 10 && cell.width() >= 11) {
        const QRect dots(cell.left() + cell.width() - 10, cell.top() + 2, 10, fm.height());
        painter->fillRect(dots, background);
        painter->drawText(QPoint(dots.left(), dots.top() + fm.ascent()), QStringLiteral("..."));
    }
    painter->restore();
}

void TTypeGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const TTypeGridLayout& g = Grid->Layout();
    const int row = index.row(), col = index.column();
    const QPalette& pal = option.palette;
    TTypeGridView* view = Grid->View();
    const bool current = view->currentIndex() == index;
    const bool focused = current && view->hasFocus();
    const bool fixed = row == 0 || col == 0;
    QColor font = pal.color(QPalette::Text);
    QBrush brush = pal.base();
    if (fixed) brush = pal.button();
    else if (current && !focused) {
        brush = pal.highlight();
        font = pal.color(QPalette::HighlightedText);
    } else if (g.Empty) brush = pal.button();
    else if (const TRecMoveStruct& move = Grid->RowMove(); move.Active && row == move.Target + 1) {
        brush = pal.highlight();
        font = pal.color(QPalette::HighlightedText);
    } else if (move.Active && row == move.Source + 1) brush = pal.color(QPalette::Disabled, QPalette::Text);
    const QRect r = option.rect;
    painter->fillRect(r, brush);
    if (focused && !fixed) {
        QStyleOptionFocusRect focus;
        focus.rect = r.adjusted(1, 1, -1, -1);
        focus.state = QStyle::State_KeyboardFocusChange;
        focus.backgroundColor = brush.color();
        view->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, view);
    }
    painter->setPen(font);
    painter->setFont(option.font);
    const QString text = Grid->CellText(row, col);
    switch (TypeGridCellStyle(g, row, col)) {
    case TGridCellStyle::Plain: DrawCellText(painter, r, text, brush); break;
    case TGridCellStyle::ParamText:
    case TGridCellStyle::SwitchName: {
        const bool param = TypeGridCellStyle(g, row, col) == TGridCellStyle::ParamText;
        painter->setFont(Grid->EditorFont());
        const auto lines = WrapFixedPitch(CpStr(text), param ? TTypeObjectDataGrid::TextColumns
                                                             : TTypeObjectDataGrid::SwitchColumns);
        const int shown = std::min<int>(static_cast<int>(lines.size()), param ? 3 : 2);
        for (int i = 0; i < shown; ++i) {
            // The blanks that end a wrapped line are not seen in the editor either.
            std::string line = lines[static_cast<size_t>(i)];
            line.erase(line.find_last_not_of(' ') + 1);
            DrawCellText(painter, QRect(r.left(), r.top() + 15 * i, r.width(), r.height() - 15 * i), QStr(line),
                         brush);
        }
        break;
    }
    case TGridCellStyle::Tick:
        if (!text.isEmpty()) {
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing, false);
            painter->setPen(QPen(current && !focused ? Qt::white : Qt::black, 2));
            const QPoint tick[3] = {QPoint(r.left() + 8, r.top() + 9), QPoint(r.left() + 12, r.top() + 13),
                                    QPoint(r.left() + 20, r.top() + 5)};
            painter->drawPolyline(tick, 3);
            painter->restore();
        }
        break;
    }
}

// ---------------------------------------------------------------- grid object

namespace {

// Paints the corner cell (row 0, column 0) over the view's corner button.
class TCornerPainter : public QObject {
public:
    TCornerPainter(TTypeObjectDataGrid* grid, QObject* parent) : QObject(parent), Grid(grid) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        auto* corner = static_cast<QWidget*>(watched);
        QPainter painter(corner);
        const QPalette& pal = corner->palette();
        painter.fillRect(corner->rect(), pal.button());
        painter.setPen(pal.color(QPalette::Mid));
        painter.drawLine(corner->rect().topRight(), corner->rect().bottomRight());
        painter.drawLine(corner->rect().bottomLeft(), corner->rect().bottomRight());
        // The corner button is disabled; its text is not.
        painter.setPen(pal.color(QPalette::Active, QPalette::Text));
        DrawCellText(&painter, corner->rect(), Grid->CellText(0, 0), pal.button());
        return true;
    }

private:
    TTypeObjectDataGrid* Grid;
};

}  // namespace

TTypeObjectDataGrid::TTypeObjectDataGrid(_TypeGridContext* context)
    : Context(context), CaptionTexts(*context->App->Mls) {
    FixedFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    FixedFont.setPointSize(8);
    TTypeGridView* view = Context->DataGrid;
    Model = std::make_unique<TTypeGridModel>(this);
    Delegate = new TTypeGridDelegate(this, view);
    view->setItemDelegate(Delegate);
    view->setModel(Model.get());
    view->setHorizontalHeader(new TTypeGridHeader(Qt::Horizontal, this, view));
    view->setVerticalHeader(new TTypeGridHeader(Qt::Vertical, this, view));
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->setShowGrid(true);
    view->setCornerButtonEnabled(false);
    if (auto* corner = view->findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly)) {
        CornerPainter = new TCornerPainter(this, view);
        corner->installEventFilter(CornerPainter);
    }
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->Enter.OnEnter = [this] { Report(); };
    view->OnUserMove = [this] { Report(); };
    view->OnResize = [this] {
        HideEditors();
        LayoutGrid(false);
    };
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(view, &QWidget::customContextMenuRequested, view, [this](const QPoint& pos) {
        TTypeGridView* v = Context->DataGrid;
        const QModelIndex at = v->indexAt(pos);
        if (at.isValid() && at.row() > 0 && at.column() > 0) {
            v->Quiet = true;
            v->setCurrentIndex(at);
            v->Quiet = false;
        }
        if (Context->OnContextPopup) Context->OnContextPopup(pos);
    });
    Context->TabControl->Enter.OnEnter = [this] { Report(); };
    QObject::connect(Context->TabControl, &QTabBar::currentChanged, Context->TabControl,
                     [this](int index) { TabControlChange(index); });
    RecMove = std::make_unique<TRecMoveStruct>(Context, [this] { RecMoveTimer(); });
    AttachEditors();
}

TTypeObjectDataGrid::~TTypeObjectDataGrid() {
    RecMove->Timer->stop();
    RecMove->Active = 0;
    // An open editor closes without storing anything.
    TextOpen = SwitchOpen = UnitsOpen = false;
    DetachEditors();
    TTypeGridView* view = Context->DataGrid;
    if (QLineEdit* editor = GridEditor()) {
        GridEdit.Store = false;
        emit Delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    view->Enter.OnEnter = nullptr;
    view->OnUserMove = nullptr;
    view->OnResize = nullptr;
    QObject::disconnect(view, &QWidget::customContextMenuRequested, nullptr, nullptr);
    Context->TabControl->Enter.OnEnter = nullptr;
    QObject::disconnect(Context->TabControl, &QTabBar::currentChanged, nullptr, nullptr);
    view->setModel(nullptr);
    view->setItemDelegate(nullptr);
    delete Delegate;
    // The headers and the corner stay with the view: nothing paints from
    // this object any more.
    delete CornerPainter;
    view->setHorizontalHeader(new QHeaderView(Qt::Horizontal, view));
    view->setVerticalHeader(new QHeaderView(Qt::Vertical, view));
}

QString TTypeObjectDataGrid::CellText(int row, int col) const {
    return QStr(TypeGridCellText(*Context->TypeObject, GridLayout, CaptionTexts, CurrentLanguage(), row, col));
}

void TTypeObjectDataGrid::Report() {
    if (Context->OnSelectionChanged) Context->OnSelectionChanged();
}

void TTypeObjectDataGrid::RebuildTabs() {
    TTypeTabBar* tabs = Context->TabControl;
    const QSignalBlocker block(tabs);
    const std::vector<std::string> texts = TypeGridTabs(*Context->TypeObject, CaptionTexts);
    while (tabs->count() > static_cast<int>(texts.size())) tabs->removeTab(tabs->count() - 1);
    for (size_t i = 0; i < texts.size(); ++i) {
        const QString t = QStr(texts[i]);
        const int at = static_cast<int>(i);
        if (at >= tabs->count()) tabs->addTab(t);
        else if (tabs->tabText(at) != t) tabs->setTabText(at, t);
    }
    const int32_t tab = TabOfSelection(Selection, tabs->count());
    tabs->setCurrentIndex(tab);
    // A tab bar filled while hidden does not tell its layout its new height.
    tabs->updateGeometry();
}

void TTypeObjectDataGrid::Refresh() {
    RebuildTabs();
    LayoutGrid(true);
}

void TTypeObjectDataGrid::Select(const _TypeSelection& selection) {
    Selection = selection;
    RebuildTabs();
    LayoutGrid(false);
}

void TTypeObjectDataGrid::TabControlChange(int index) {
    HideEditors();
    if (index >= 0) SelectionOfTab(Selection, index);
    LayoutGrid(false);
    Report();
}

void TTypeObjectDataGrid::LayoutGrid(bool force) {
    TTypeGridView* view = Context->DataGrid;
    // The text column is never narrower than the text editor laid over it.
    const int editorWidth = Context->TextPanel ? Context->TextPanel->width()
                                               : QFontMetrics(FixedFont).horizontalAdvance(QString(TextColumns, QChar('X')));
    // The grid's whole width: column 0 stands in the vertical header, beside
    // the viewport, and the text column takes what the others leave of it.
    TTypeGridLayout next = LayoutTypeGrid(Selection, *Context->TypeObject,
                                          Context->App ? Context->App->DisplayFormats : nullptr,
                                          view->width(), editorWidth);
    const bool sameShape = next.Kind == GridLayout.Kind && next.Table == GridLayout.Table &&
                           next.RowCount == GridLayout.RowCount && next.ColCount == GridLayout.ColCount;
    const QModelIndex before = view->currentIndex();
    const int row = std::max(before.row(), 1), col = std::max(before.column(), 1);
    view->Quiet = true;
    if (force || !sameShape) Model->Reset([&] { GridLayout = std::move(next); });
    else GridLayout = std::move(next);
    QHeaderView* rows = view->verticalHeader();
    rows->setDefaultSectionSize(GridLayout.DefaultRowHeight);
    if (rows->sectionSize(0) != GridLayout.HeaderRowHeight) rows->resizeSection(0, GridLayout.HeaderRowHeight);
    // A column title of the program's own (not a field name) is never cut:
    // its column is at least as wide as the title needs.
    const QFontMetrics titles(view->horizontalHeader()->font());
    const int titled = GridLayout.Kind == _TypeSelection::KindTable ? 1 : GridLayout.ColCount;
    for (int c = 0; c < titled; ++c) {
        int32_t& width = GridLayout.ColWidths[static_cast<size_t>(c)];
        width = std::max(width, titles.horizontalAdvance(CellText(0, c)) + 12);
    }
    // A value column is never narrower than its widest value: the designed
    // widths fit a smaller font than most screens show.
    const QFontMetrics values(view->font());
    for (int c = 1; c < GridLayout.ColCount; ++c) {
        const std::string sample = WidestValueSample(GridLayout, *Context->TypeObject,
                                                     Context->App ? Context->App->DisplayFormats : nullptr, c);
        int32_t& width = GridLayout.ColWidths[static_cast<size_t>(c)];
        if (!sample.empty()) width = std::max(width, values.horizontalAdvance(QStr(sample)) + 12);
    }
    for (int c = 0; c < GridLayout.ColCount; ++c)
        if (view->columnWidth(c) != GridLayout.ColWidths[static_cast<size_t>(c)])
            view->setColumnWidth(c, GridLayout.ColWidths[static_cast<size_t>(c)]);
    // Row 0 and column 0 stand still in the headers, at their own sizes.
    view->setRowHidden(0, true);
    view->setColumnHidden(0, true);
    view->horizontalHeader()->setFixedHeight(GridLayout.HeaderRowHeight);
    view->verticalHeader()->setFixedWidth(GridLayout.ColWidths[0]);
    view->setTabKeyNavigation(!GridLayout.Empty);
    // The current cell stays where it was, within the new bounds.
    const QModelIndex at = Model->index(std::min(row, GridLayout.RowCount - 1), std::min(col, GridLayout.ColCount - 1));
    if (view->currentIndex() != at) view->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
    view->Quiet = false;
    view->viewport()->update();
}

_TypeSelection TTypeObjectDataGrid::GetSelection() {
    Selection.Parameter = Selection.SwitchRow = Selection.Language = Selection.Field = Selection.Row = -1;
    const QModelIndex at = Context->DataGrid->currentIndex();
    const int row = at.isValid() ? at.row() : 1, col = at.isValid() ? at.column() : 1;
    switch (Selection.Kind) {
    case _TypeSelection::KindParameters:
        if (Context->TypeObject->GetTypeData().GetParameterCount() > 0) Selection.Parameter = row - 1;
        break;
    case _TypeSelection::KindConfiguration: Selection.SwitchRow = row - 1; break;
    case _TypeSelection::KindTable:
    case _TypeSelection::KindField:
        if (const TTableData* table = Context->TypeObject->GetTable(Selection.Table)) {
            if (table->GetFieldCount() > 0) Selection.Field = col - 1;
            if (table->GetRowCount() > 0) Selection.Row = row - 1;
        }
        break;
    default: break;
    }
    return Selection;
}

int32_t TTypeObjectDataGrid::GetViewSlot() const {
    const int col = Context->DataGrid->currentIndex().column();
    switch (Selection.Kind) {
    case _TypeSelection::KindParameters: return col == ColValue ? SlotValue : col == ColMin ? SlotMin : col == ColMax ? SlotMax : -1;
    case _TypeSelection::KindTable:
    case _TypeSelection::KindField: return Selection.Field < 0 ? -1 : SlotFirstField + Selection.Field;
    default: return -1;
    }
}

void TTypeObjectDataGrid::HideEditors() {
    EndRowMove();
    // The open editor closes as when it loses the focus: what was typed is kept.
    if (QLineEdit* editor = GridEditor()) {
        emit Delegate->commitData(editor);
        emit Delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    MemoExit(true);
    MemoExit(false);
    cmbboxUnitsExit();
    for (QWidget* w : {static_cast<QWidget*>(Context->TextPanel), static_cast<QWidget*>(Context->SwitchPanel),
                       static_cast<QWidget*>(Context->UnitsCombo)})
        if (w) w->hide();
}
