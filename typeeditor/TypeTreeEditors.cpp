// The in-place editors of the type tree: how the editor a node opens
// (PlanTreeEdit) is shown, how an edit starts from the keyboard or the mouse, and
// how the edit box, the size and units combo boxes and the check list write
// their values into the type and its tables.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionViewItem>

#include "Appinterface.h"
#include "Dialogs.h"
#include "EditKeys.h"
#include "IntText.h"
#include "MessageIds.h"
#include "QtText.h"
#include "Tabledata.h"
#include "TypeCommands.h"
#include "TypeObject.h"
#include "TypeTreeEditing.h"
#include "TypeTreeView.h"
#include "TypeWindow.h"
#include "Typedata.h"

QRect TTypeTreeWidget::ItemTextRect(QTreeWidgetItem* item) const {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QModelIndex index = indexFromItem(item);
    option.rect = visualRect(index);
    option.text = item->text(0);
    option.icon = item->icon(0);
    option.features |= QStyleOptionViewItem::HasDisplay;
    if (!option.icon.isNull()) option.features |= QStyleOptionViewItem::HasDecoration;
    option.decorationSize = iconSize().isValid() ? iconSize() : QSize(16, 16);
    QRect text = style()->subElementRect(QStyle::SE_ItemViewItemText, &option, this);
    // The style's text rectangle runs to the item's right end; the text
    // itself ends where its width says, after the style's text margin.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    text.setRight(text.left() + margin + fontMetrics().horizontalAdvance(option.text));
    return text;
}

namespace {

constexpr int MinEditorWidth = 50;
constexpr int CheckListRows = 4;

// The table attributes and counts the edit box writes as numbers: the
// setter refuses a value out of its range with the message named.
struct TNumberNode {
    int32_t Id;
    uint32_t Message;
    int64_t (*Get)(const TTableData&);
    void (*Set)(TTableData&, int64_t);
};
const TNumberNode NumberNodes[] = {
    {NodeFunction, Msg::WrongFunction, [](const TTableData& t) -> int64_t { return t.GetFunction(); },
     [](TTableData& t, int64_t v) { t.SetFunction(v); }},
    {NodeBlock, Msg::WrongBlock, [](const TTableData& t) -> int64_t { return t.GetBlock(); },
     [](TTableData& t, int64_t v) { t.SetBlock(v); }},
    {NodeLevel, Msg::WrongLevel, [](const TTableData& t) -> int64_t { return t.GetLevel(); },
     [](TTableData& t, int64_t v) { t.SetLevel(v); }},
    {NodeRows, Msg::WrongRowsCount, [](const TTableData& t) -> int64_t { return t.GetRowCount(); },
     [](TTableData& t, int64_t v) { t.SetRowCount(v); }},
    {NodeFields, Msg::WrongFieldsCount, [](const TTableData& t) -> int64_t { return t.GetFieldCount(); },
     [](TTableData& t, int64_t v) { t.SetFieldCount(v); }},
};

// Whether w is the editor or lies inside it (its line edit, its drop-down
// list, which is a window of its own).
bool Within(const QWidget* w, const QWidget* editor) {
    for (; w; w = w->parentWidget())
        if (w == editor) return true;
    return false;
}

// Forwards what happens to the tree and the editors to the tree object.
class TEditorEvents : public QObject {
public:
    std::function<bool(QObject*, QEvent*)> Handle;
    bool eventFilter(QObject* watched, QEvent* event) override { return Handle(watched, event); }
};

}  // namespace

TTypeObjectTreeView::TEditedNode TTypeObjectTreeView::EditedNodeOf(const TNodeExt& node) const {
    // The table of a table's attribute or of a field's node, as the
    // selection names it.
    return {node.Id, node.SubId, node.Id == NodeTable ? -1 : SelectionOfNode(&node).Table};
}

void TTypeObjectTreeView::AttachEditors() {
    auto* events = new TEditorEvents;
    events->Handle = [this](QObject* watched, QEvent* event) {
        TTypeTreeWidget* tree = Context->TreeView;
        if (watched == tree) {
            if (event->type() == QEvent::KeyPress) return TreeViewKeyPress(static_cast<QKeyEvent*>(event));
            // Resizing the tree closes an open editor.
            if (event->type() == QEvent::Resize) HideEditors();
            return false;
        }
        // Tab and Ctrl+Enter end an open editor rather than run a shortcut.
        if (event->type() == QEvent::ShortcutOverride && Open != TEditor::None &&
            EditorOwnsKey(*static_cast<QKeyEvent*>(event), false)) {
            event->accept();
            return true;
        }
        if (event->type() == QEvent::KeyPress)
            for (QWidget* editor : {static_cast<QWidget*>(Context->EditBox), static_cast<QWidget*>(Context->SizeCombo),
                                    static_cast<QWidget*>(Context->UnitsCombo), static_cast<QWidget*>(Context->CheckList)})
                if (editor && Within(qobject_cast<QWidget*>(watched), editor))
                    return EditorKey(editor, static_cast<QKeyEvent*>(event));
        return false;
    };
    EditorEvents.reset(events);
    TTypeTreeWidget* tree = Context->TreeView;
    tree->installEventFilter(events);
    for (QWidget* editor : {static_cast<QWidget*>(Context->EditBox), static_cast<QWidget*>(Context->SizeCombo),
                            static_cast<QWidget*>(Context->UnitsCombo), static_cast<QWidget*>(Context->CheckList)})
        if (editor) editor->installEventFilter(events);
    if (Context->UnitsCombo) {
        Context->UnitsCombo->setInsertPolicy(QComboBox::NoInsert);
        if (QLineEdit* line = Context->UnitsCombo->lineEdit()) line->installEventFilter(events);
        EditorConnections.push_back(
            QObject::connect(Context->UnitsCombo, &QComboBox::editTextChanged, tree, [this](const QString& text) {
                if (Open != TEditor::UnitsCombo) return;
                UnitsText = CpStr(text);
                Accept = 1;
            }));
    }
    if (Context->SizeCombo)
        EditorConnections.push_back(QObject::connect(Context->SizeCombo, qOverload<int>(&QComboBox::activated), tree,
                                                     [this](int) {
                                                         if (Open == TEditor::SizeCombo) Accept = 1;
                                                     }));
    if (QListWidget* list = Context->CheckList) {
        list->viewport()->installEventFilter(events);
        auto accept = [this] {
            if (Open == TEditor::CheckList) Accept = 1;
        };
        EditorConnections.push_back(QObject::connect(list, &QListWidget::itemChanged, tree, accept));
        EditorConnections.push_back(QObject::connect(list, &QListWidget::itemClicked, tree, accept));
    }
    EditorConnections.push_back(QObject::connect(tree, &QTreeWidget::itemDoubleClicked, tree, [this] { BeginEdit(true); }));
    // Scrolling the tree closes an open editor.
    for (QScrollBar* bar : {tree->verticalScrollBar(), tree->horizontalScrollBar()})
        EditorConnections.push_back(QObject::connect(bar, &QScrollBar::valueChanged, tree, [this] { HideEditors(); }));
    // An editor that loses the focus to another widget commits.
    EditorConnections.push_back(QObject::connect(qApp, &QApplication::focusChanged, tree,
                                                 [this](QWidget*, QWidget* now) { EditorFocusLeft(now); }));
}

void TTypeObjectTreeView::DetachEditors() {
    for (const QMetaObject::Connection& c : EditorConnections) QObject::disconnect(c);
    EditorConnections.clear();
    Open = TEditor::None;
    EditorEvents.reset();
}

void TTypeObjectTreeView::EditorFocusLeft(QWidget* now) {
    // The application losing the focus (now null) leaves the editor open.
    if (Open == TEditor::None || !now) return;
    QWidget* editor = Open == TEditor::EditBox      ? static_cast<QWidget*>(Context->EditBox)
                      : Open == TEditor::SizeCombo  ? static_cast<QWidget*>(Context->SizeCombo)
                      : Open == TEditor::UnitsCombo ? static_cast<QWidget*>(Context->UnitsCombo)
                                                    : static_cast<QWidget*>(Context->CheckList);
    if (!Within(now, editor)) RunExit();
}

void TTypeObjectTreeView::RunExit() {
    switch (Open) {
    case TEditor::EditBox: edtEditTreeViewExit(); break;
    case TEditor::SizeCombo: cmbboxFieldSizeExit(); break;
    case TEditor::UnitsCombo: cmbboxFieldUnitsExit(); break;
    case TEditor::CheckList: chklbEditTreeViewExit(); break;
    case TEditor::None: break;
    }
}

// ---------------------------------------------------------------- opening

int TTypeObjectTreeView::EditorWidth(int32_t id) const {
    // The check lists and combos show their entries whole: at least as wide
    // as the widest, with the box, the list's margins and a scroll bar.
    QWidget* editor = nullptr;
    QStringList texts;
    if (id == NodeTableCfg || id == NodeFieldFlags) {
        editor = Context->CheckList;
        const uint32_t first = TreeFlagTexts(id);
        for (int k = 0; k < TreeFlagBits; ++k) texts << QStr(Context->App->Text(first + static_cast<uint32_t>(k)));
    } else if (id == NodeFieldSize)
        editor = Context->SizeCombo;
    if (!editor) return MinEditorWidth;
    if (auto* combo = qobject_cast<QComboBox*>(editor)) return std::max(MinEditorWidth, combo->sizeHint().width());
    const QStyle* style = editor->style();
    int widest = 0;
    for (const QString& t : texts) widest = std::max(widest, editor->fontMetrics().horizontalAdvance(t));
    return std::max(MinEditorWidth, widest + style->pixelMetric(QStyle::PM_IndicatorWidth) +
                                        style->pixelMetric(QStyle::PM_ScrollBarExtent) + 4 * editor->fontMetrics().averageCharWidth() +
                                        2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth));
}

void TTypeObjectTreeView::PlaceEditors(QTreeWidgetItem* item, const TNodeExt& node, QRect& box) {
    TTypeTreeWidget* tree = Context->TreeView;
    const int minWidth = EditorWidth(node.Id);
    const int lineHeight = Context->EditBox ? Context->EditBox->sizeHint().height() : 0;
    for (int pass = 0; pass < 2; ++pass) {
        const QRect text = tree->ItemTextRect(item);
        const int left = text.right() - tree->fontMetrics().horizontalAdvance(QStr(node.Text));
        const int width = tree->viewport()->width() - left;
        box = QRect(left, text.top(), width, std::max(text.height(), lineHeight));
        if (width >= minWidth || pass == 1) break;
        // Too narrow: the tree's pane grows by what is missing.
        auto* splitter = qobject_cast<QSplitter*>(tree->parentWidget() ? tree->parentWidget()->parentWidget() : nullptr);
        if (!splitter) break;
        QList<int> sizes = splitter->sizes();
        if (sizes.size() < 2) break;
        const int missing = minWidth - width;
        sizes[0] += missing;
        sizes[1] = std::max(0, sizes[1] - missing);
        splitter->setSizes(sizes);
    }
}

void TTypeObjectTreeView::OpenCombo(QComboBox* combo, TEditor editor, const QRect& box, const TEditedNode& edited) {
    combo->setGeometry(box.left(), box.top(), box.width(), combo->sizeHint().height());
    Accept = 0;
    Edited = edited;
    Open = editor;
    combo->show();
    combo->setFocus(Qt::OtherFocusReason);
    combo->showPopup();
}

void TTypeObjectTreeView::BeginEdit(bool withValue) {
    // A second editor never opens over one still open.
    HideEditors();
    TTypeTreeWidget* tree = Context->TreeView;
    QTreeWidgetItem* item = tree->currentItem();
    TNodeExt* node = TQtTreeNodes::NodeOf(item);
    if (!item || !node) return;
    // The editors sit over the node's value, the tree's pane widened for them.
    QRect box;
    PlaceEditors(item, *node, box);
    const bool expert = Context->App && Context->App->ExpertMode != 0;
    const TEditedNode edited = EditedNodeOf(*node);
    const TTreeEditPlan plan =
        PlanTreeEdit(*Context->TypeObject, node->Id, edited.Sub, edited.Table, node->Text, expert, withValue);
    switch (plan.Editor) {
    case TTreeEditor::EditBox: {
        if (!Context->EditBox) return;
        QLineEdit* edit = Context->EditBox;
        Edited = edited;
        edit->setGeometry(box);
        edit->setMaxLength(plan.MaxLength);
        edit->setText(QStr(plan.Text));
        Open = TEditor::EditBox;
        edit->show();
        edit->setFocus(Qt::OtherFocusReason);
        return;
    }
    case TTreeEditor::Language:
        if (!Context->CurrentLanguage) return;
        *Context->CurrentLanguage = plan.Language;
        Rebuild();
        if (Context->OnSelectionChanged) Context->OnSelectionChanged();
        return;
    case TTreeEditor::SizeCombo: {
        if (!Context->SizeCombo) return;
        QComboBox* combo = Context->SizeCombo;
        combo->setCurrentIndex(plan.SizeIndex);
        OpenCombo(combo, TEditor::SizeCombo, box, edited);
        return;
    }
    case TTreeEditor::UnitsCombo: {
        if (!Context->UnitsCombo) return;
        QComboBox* combo = Context->UnitsCombo;
        {
            const QSignalBlocker quiet(combo);
            combo->clear();
            if (Context->App && Context->App->UnitsList)
                for (const std::string& unit : *Context->App->UnitsList) combo->addItem(QStr(unit));
            UnitsText = plan.Text;
            combo->setEditText(QStr(UnitsText));
        }
        if (QLineEdit* line = combo->lineEdit()) line->setMaxLength(plan.MaxLength);
        OpenCombo(combo, TEditor::UnitsCombo, box, edited);
        if (QLineEdit* line = combo->lineEdit()) line->selectAll();
        return;
    }
    case TTreeEditor::CheckList: {
        if (!Context->CheckList) return;
        QListWidget* list = Context->CheckList;
        const QSignalBlocker quiet(list);
        list->clear();
        // The texts are fetched each time the list opens.
        for (int k = 0; k < TreeFlagBits; ++k) {
            auto* entry = new QListWidgetItem(QStr(Context->App->Text(plan.FirstText + static_cast<uint32_t>(k))), list);
            entry->setFlags(entry->flags() | Qt::ItemIsUserCheckable);
            entry->setCheckState(plan.Bits >> k & 1 ? Qt::Checked : Qt::Unchecked);
        }
        list->setGeometry(box.left(), box.top(), box.width(), CheckListRows * box.height());
        list->setCurrentRow(0);
        Accept = 0;
        Edited = edited;
        Open = TEditor::CheckList;
        list->show();
        list->raise();
        list->setFocus(Qt::OtherFocusReason);
        return;
    }
    case TTreeEditor::None: return;
    }
}

// ---------------------------------------------------------------- keys

bool TTypeObjectTreeView::TreeViewKeyPress(QKeyEvent* key) {
    TTypeTreeWidget* tree = Context->TreeView;
    // Keys that an editor left over pass by.
    if (QWidget* focus = QApplication::focusWidget(); focus && focus != tree) return false;
    const Qt::KeyboardModifiers mods = key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (QTreeWidgetItem* item = tree->currentItem()) {
            if (item->childCount() > 0) item->setExpanded(!item->isExpanded());
            else BeginEdit(true);
        }
        return true;
    }
    if (key->key() == Qt::Key_Delete) {
        if (mods == Qt::NoModifier) {
            BeginEdit(false);
            return true;
        }
        return false;
    }
    // A typed character (no Ctrl or Alt combination) opens the editor with
    // that character; characters outside the ASCII range and control codes
    // are swallowed.
    const QString text = key->text();
    if (text.isEmpty() || (mods & (Qt::ControlModifier | Qt::AltModifier))) return false;
    const char16_t c = text.at(0).unicode();
    if (c < 32 || c == 127) return false;
    if (c < 128) {
        BeginEdit(true);
        if (Open == TEditor::EditBox) {
            Context->EditBox->setText(text.left(1));
            Context->EditBox->setCursorPosition(1);
        } else if (Open == TEditor::UnitsCombo) {
            Context->UnitsCombo->hidePopup();
            Context->UnitsCombo->setEditText(text.left(1));
            if (QLineEdit* line = Context->UnitsCombo->lineEdit()) line->setCursorPosition(1);
            UnitsText = CpStr(text.left(1));
        }
    }
    return true;
}

bool TTypeObjectTreeView::EditorKey(QWidget* editor, QKeyEvent* key) {
    const int k = key->key();
    // Enter, Tab, Shift+Tab and Ctrl+Enter end an edit and store it, Esc
    // ends it keeping the stored value.
    const TEditEnd end = EditorEndKey(*key, false);
    if (editor == Context->EditBox) {
        if (Open != TEditor::EditBox) return false;
        if (end == TEditEnd::Discard) {
            // The old value goes back into the box, and the box commits it.
            TNodeExt* node = TQtTreeNodes::NodeOf(Context->TreeView->currentItem());
            Context->EditBox->setText(node ? QStr(node->Text) : QString());
        } else if (end == TEditEnd::None && k != Qt::Key_Up && k != Qt::Key_Down)
            return false;
        edtEditTreeViewExit();
        return true;
    }
    const TEditor expected = editor == Context->SizeCombo    ? TEditor::SizeCombo
                             : editor == Context->UnitsCombo ? TEditor::UnitsCombo
                                                             : TEditor::CheckList;
    if (Open != expected || end == TEditEnd::None) return false;
    const bool store = end == TEditEnd::Store;
    // With the list dropped down, a storing key chooses its entry and
    // accepts it; Esc closes list and combo alike.
    if (auto* combo = qobject_cast<QComboBox*>(editor); combo && combo->view() && combo->view()->isVisible()) {
        if (store && combo->view()->currentIndex().isValid())
            combo->setCurrentIndex(combo->view()->currentIndex().row());
        combo->hidePopup();
    }
    Accept = store ? 1 : 0;
    if (store && Open == TEditor::UnitsCombo) UnitsText = CpStr(Context->UnitsCombo->currentText());
    RunExit();
    return true;
}

// ---------------------------------------------------------------- commits

_TableFieldInfo* TTypeObjectTreeView::EditedField() const {
    TTableData* table = Context->TypeObject->GetTable(Edited.Table);
    return table ? table->GetField(Edited.Sub) : nullptr;
}

void TTypeObjectTreeView::EndEdit(QWidget* editor) {
    Open = TEditor::None;
    // The tree takes the focus back unless the user moved it elsewhere.
    QWidget* focus = QApplication::focusWidget();
    if (!focus || Within(focus, editor)) Context->TreeView->setFocus(Qt::OtherFocusReason);
    editor->hide();
    Rebuild();
    if (Context->OnModified) Context->OnModified();
}

void TTypeObjectTreeView::edtEditTreeViewExit() {
    if (Open != TEditor::EditBox) return;
    Open = TEditor::None;
    const std::string text = CpStr(Context->EditBox->text());
    TTypeObjectData& type = *Context->TypeObject;
    TTableData* table = type.GetTable(Edited.Table);
    QWidget* owner = Context->Window ? static_cast<QWidget*>(Context->Window) : Context->TreeView;
    _AppInterface& app = *Context->App;
    switch (Edited.Id) {
    case NodeTypeName: type.GetTypeData().SetName(text); break;
    case NodeTableName: {
        if (!table) break;
        // The table's own name does not count as a duplicate.
        const std::string old = table->GetName();
        table->SetName("");
        const std::string name = TableNameFromInput(text);
        table->SetName(TableNameAccepted(owner, app, type, name) ? name : old);
        break;
    }
    case NodeFunction:
    case NodeBlock:
    case NodeLevel:
    case NodeRows:
    case NodeFields:
        for (const TNumberNode& n : NumberNodes)
            if (n.Id == Edited.Id && table) try {
                    // A number as typed; what cannot be read keeps the old value.
                    n.Set(*table, ReadIntText(text).value_or(n.Get(*table)));
                } catch (const TModelLimit&) {
                    ShowMessageBox(owner, app.Text(n.Message), TMsgIcon::Stop);
                }
        break;
    case NodeFieldName:
        if (_TableFieldInfo* field = EditedField()) field->SetName(text);
        break;
    default: break;
    }
    EndEdit(Context->EditBox);
}

void TTypeObjectTreeView::cmbboxFieldSizeExit() {
    if (Open != TEditor::SizeCombo) return;
    _TableFieldInfo* field = EditedField();
    if (Accept && field) field->Size = static_cast<uint8_t>(IndexToFieldSize(Context->SizeCombo->currentIndex()));
    Context->SizeCombo->hidePopup();
    EndEdit(Context->SizeCombo);
}

void TTypeObjectTreeView::cmbboxFieldUnitsExit() {
    if (Open != TEditor::UnitsCombo) return;
    _TableFieldInfo* field = EditedField();
    if (Accept && field) {
        const size_t first = UnitsText.find_first_not_of(' ');
        field->SetUnit(first == std::string::npos ? std::string()
                                                  : UnitsText.substr(first, UnitsText.find_last_not_of(' ') - first + 1));
        Context->App->AddRecentUnit(field->GetUnit());
    }
    Context->UnitsCombo->hidePopup();
    EndEdit(Context->UnitsCombo);
}

void TTypeObjectTreeView::chklbEditTreeViewExit() {
    if (Open != TEditor::CheckList) return;
    if (Accept) {
        QListWidget* list = Context->CheckList;
        uint8_t bits = 0;
        for (int k = 0; k < TreeFlagBits && k < list->count(); ++k)
            if (list->item(k)->checkState() == Qt::Checked) bits = static_cast<uint8_t>(bits | 1u << k);
        if (Edited.Id == NodeTableCfg) {
            if (TTableData* table = Context->TypeObject->GetTable(Edited.Table)) table->SetCfg(bits);
        } else if (_TableFieldInfo* field = EditedField())
            field->Flags = bits;
    }
    EndEdit(Context->CheckList);
}
