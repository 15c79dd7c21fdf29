#include "ProgramManager.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMenu>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cstring>
#include <filesystem>

#include "Appinterface.h"
#include "Images.h"
#include "UnitRun.h"
#include "Dialogs.h"
#include "Fcs.h"
#include "FormTranslation.h"
#include "MessageIds.h"
#include "QtText.h"
#include "ShortcutEdit.h"
#include "TextHelpers.h"
#include "SafeFile.h"
#include "SystemCause.h"

namespace {

constexpr int RowHeight = 60;
const char* const ProgramFilter =
    "S Record File (*.S)|*.S|Intel Hex File (*.hex,*.h86)|*.hex;*.h86|"
    "S Record/Intel Hex File (*.S,*.hex,*.h86)|*.S;*.hex;*.h86|All files (*.*)|*.*";

}  // namespace

TfrmProgramManager::TfrmProgramManager(_AppInterface* app)
    : TManagerChild(app, KindProgramManager, PlacementIndex, ToolBarSlot) {
    setObjectName("frmProgramManager");
    setWindowTitle("Program Manager");

    actRefresh = NewAction(this, "actRefresh", ActionOptions("Refresh", aiRefresh, QKeySequence(Qt::Key_F5)));
    actDownload = NewAction(this, "actDownload", ActionOptions("PC -> QX", aiPcToQx, QKeySequence(Qt::Key_Insert)));
    actDelete = NewAction(this, "actDelete", ActionOptions("Delete", aiDelete, QKeySequence(Qt::Key_Delete)));
    actShortcuts = NewAction(this, "actShortcuts", ActionOptions("Shortcuts", -1));
    connect(actRefresh, &QAction::triggered, this, &TfrmProgramManager::actRefreshExecute);
    connect(actDownload, &QAction::triggered, this, &TfrmProgramManager::actDownloadExecute);
    connect(actDelete, &QAction::triggered, this, &TfrmProgramManager::actDeleteExecute);

    Client = new QWidget;
    for (QAction* a : {actRefresh, actDownload, actDelete}) addAction(a);
    auto* layout = new QVBoxLayout(Client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    toolbarProgramManager = Named(new QToolBar, "toolbarProgramManager");
    toolbarProgramManager->setIconSize(QSize(16, 16));
    toolbarProgramManager->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (QAction* a : {actRefresh, actDownload, actDelete}) toolbarProgramManager->addAction(a);
    toolbarProgramManager->addSeparator();
    static const char* const buttonNames[4] = {"toolbtnShortcut1", "toolbtnShortcut2", "toolbtnShortcut3",
                                               "toolbtnShortcut4"};
    for (int i = 0; i < 4; ++i) {
        actShortcut[i] = new QAction(this);
        actShortcut[i]->setObjectName(QString("actShortcut%1").arg(i + 1));
        actShortcut[i]->setData(i);
        connect(actShortcut[i], &QAction::triggered, this, [this, i] { ShortcutClick(i); });
        toolbarProgramManager->addAction(actShortcut[i]);
        toolbtnShortcut[i] = static_cast<QToolButton*>(toolbarProgramManager->widgetForAction(actShortcut[i]));
        toolbtnShortcut[i]->setObjectName(buttonNames[i]);
        toolbtnShortcut[i]->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    HookShortcutButtons();
    layout->addWidget(toolbarProgramManager);

    DataGrid = NewOwnerDrawnGrid(this, ProgramSegmentCount, RowHeight);
    // The form sees every key first, wherever the focus is inside it.
    Client->installEventFilter(this);
    installEventFilter(this);
    connect(DataGrid, &QTableWidget::currentCellChanged, this, &TfrmProgramManager::DataGridClick);
    layout->addWidget(DataGrid, 1);

    StatusBar = Named(new QStatusBar, "StatusBar");
    layout->addWidget(StatusBar);

    PopupMenu = Named(new QMenu("&Edit", this), "PopupMenu");
    for (QAction* a : {actRefresh, actDownload, actDelete}) PopupMenu->addAction(a);
    PopupMenu->addSeparator();
    mnuShortcuts = Named(new QMenu("Shortcuts", this), "mnuShortcuts");
    mnuShortcuts->addSeparator();
    actShortcuts->setMenu(mnuShortcuts);
    PopupMenu->addAction(actShortcuts);
    connect(mnuShortcuts, &QMenu::aboutToShow, this, &TfrmProgramManager::actShortcutsUpdate);
    connect(DataGrid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu->popup(DataGrid->viewport()->mapToGlobal(at)); });
    setWidget(Client);

    if (App && App->Mls) TranslateWidget(*App->Mls, this);
    for (QAction* a : {actRefresh, actDownload, actDelete}) a->setToolTip(QStr(ButtonHintFromCaption(CpStr(a->text()))));
    if (App) {
        NotConnectedText = App->Text(Msg::QXNotConnected);
        PressRefreshText = App->Text(Msg::PressRefreshToConnect);
        PopupMenu->setTitle(QStr(App->Text(Msg::MenuEdit)));
    }
    for (_ProgramSlotStatus& s : Slots) ClearSlotStatus(s);
    BuildSegmentRows(Rows, Slots, ProgramSegmentCount);
    DataGridClick();
    UpdateShortcutButtons();
    OwnMenu = PopupMenu;
    OwnToolBar = toolbarProgramManager;
    GrowToContent(QSize());
    // The whole tool bar stays in view, the shortcut buttons included.
    const int frameWidth = 2 * style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
    setMinimumWidth(std::max(minimumWidth(), toolbarProgramManager->sizeHint().width() + frameWidth + 4));
    RestorePlacement();
}

void TfrmProgramManager::FormActivate() {
    TManagerChild::FormActivate();
    HookShortcutButtons();
}

void TfrmProgramManager::HookShortcutButtons() {
    static const char* const HookedProperty = "qxShortcutEdit";
    for (int i = 0; i < 4; ++i)
        for (QObject* object : actShortcut[i]->associatedObjects()) {
            auto* button = qobject_cast<QToolButton*>(object);
            if (!button || button->property(HookedProperty).toBool()) continue;
            button->setProperty(HookedProperty, true);
            button->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(button, &QWidget::customContextMenuRequested, this,
                    [this, i, button](const QPoint& at) { ShortcutContextPopup(i, button->mapToGlobal(at)); });
        }
}

void TfrmProgramManager::UpdateActions() {
    actDownload->setEnabled(IsConnected);
    actDelete->setEnabled(IsConnected && Selected != -1);
}

void TfrmProgramManager::UpdateShortcutButtons() {
    for (int i = 0; i < 4; ++i) {
        const std::string& path = App ? App->Shortcuts.Items[i].Path : std::string();
        actShortcut[i]->setEnabled(true);
        actShortcut[i]->setText(QString("Shortcut %1").arg(i + 1));
        actShortcut[i]->setToolTip(QStr(path));
        if (App && App->ActionImages)
            actShortcut[i]->setIcon(App->ActionImages->Icon((path.empty() ? aiShortcut1Empty : aiShortcut1) + i));
    }
    // The main window's tool bar shows the new buttons at once.
    if (FramePartsActive()) FormActivate();
    actShortcutsUpdate();
}

void TfrmProgramManager::actShortcutsUpdate() {
    const QList<QAction*> entries = mnuShortcuts->actions();
    // An entry may be the one whose click runs this update (through a
    // download): it goes once its click has been handled.
    for (int i = 1; i < entries.size(); ++i) {
        mnuShortcuts->removeAction(entries[i]);
        entries[i]->deleteLater();
    }
    for (int i = 0; i < 4; ++i) {
        const std::string path = App ? App->Shortcuts.Items[i].Path : std::string();
        const std::string caption = (App ? App->Text(Msg::ShortcutMenu, std::to_string(i + 1)) : "") + ": " + path;
        QAction* entry = mnuShortcuts->addAction(QStr(caption));
        entry->setToolTip(QStr(path));
        entry->setData(i);
        entry->setEnabled(!path.empty() && IsConnected);
        connect(entry, &QAction::triggered, this, [this, i] { ShortcutClick(i); });
    }
}

void TfrmProgramManager::AddStatusCommands(TCommCmdList& list, uint8_t (*buffers)[ProgramStatusSize]) {
    for (int i = 0; i < ProgramSlotCount; ++i) {
        // The run starts from the record as it stands: first byte and mask
        // cleared, name and size kept for a slot the run does not reach.
        uint8_t* b = buffers[i];
        std::memset(b, 0, ProgramStatusSize);
        std::memcpy(b + 1, Slots[i].Name, ProgramNameSize);
        std::memcpy(b + 1 + ProgramNameSize, Slots[i].SizeBytes, 3);
        _CommCmd* c = list.Add();
        c->Service = csSRecStatus;
        c->SuperService = 0;
        c->Caption = App->Text(Msg::ReadProgramStatus, std::to_string(i));
        c->Param = i;
        c->Data = b;
    }
}

bool TfrmProgramManager::Run(TCommCmdList& list, uint8_t (*buffers)[ProgramStatusSize]) {
    // A run with an error ignored has not done all it was asked to.
    IsConnected = RunOnUnit(this, *App, list);
    for (int i = 0; i < ProgramSlotCount; ++i) TakeSlotStatus(Slots[i], buffers[i]);
    return IsConnected;
}

void TfrmProgramManager::AfterRun() {
    BuildSegmentRows(Rows, Slots, ProgramSegmentCount);
    DataGridClick();
    actShortcutsUpdate();
}

void TfrmProgramManager::RefreshStatus() {
    if (!App) return;
    for (_ProgramSlotStatus& s : Slots) ClearSlotStatus(s);
    TCommCmdList list;
    uint8_t buffers[ProgramSlotCount][ProgramStatusSize];
    AddStatusCommands(list, buffers);
    Selected = -1;
    Run(list, buffers);
    AfterRun();
}

void TfrmProgramManager::DownloadProgram(const std::string& path) {
    if (!App) return;
    ClearSystemCause();
    std::optional<std::vector<std::string>> lines;
    if (IsRegularFile(path)) lines = ReadProgramLines(path);
    if (!lines) {
        ShowFailureMessage(this, App->Text(Msg::CannotOpenFile, path));
        return;
    }
    // Every line converts before anything is sent.
    if (CheckLines(*lines) < 0) {
        ShowMessageBox(this, App->Text(Msg::WrongFormatOrCorrupt), TMsgIcon::Stop);
        return;
    }
    ProgramLines.assign(lines->begin(), lines->end());
    ProgramLines.Objects.clear();
    for (_ProgramSlotStatus& s : Slots) ClearSlotStatus(s);
    const std::string name = std::filesystem::path(path).stem().string();
    TCommCmdList list;
    _CommCmd* c = list.Add();
    c->Service = csWriteSRec;
    c->SuperService = 0;
    c->Caption = App->Text(Msg::DownloadProgram, name);
    c->Name = name;
    c->Lines = &ProgramLines;
    uint8_t buffers[ProgramSlotCount][ProgramStatusSize];
    AddStatusCommands(list, buffers);
    Selected = -1;
    if (Run(list, buffers)) ShowMessageBox(this, App->Text(Msg::ProgramDownloaded), TMsgIcon::Information);
    AfterRun();
}

void TfrmProgramManager::actRefreshExecute() { RefreshStatus(); }

void TfrmProgramManager::actDownloadExecute() {
    if (!App || !actDownload->isEnabled()) return;
    TOpenDialogRequest request{this, "Program Download", ProgramFilter, App->Shortcuts.FilterIndex, "*.S"};
    std::string path;
    int filter = request.FilterIndex;
    if (!RunOpenDialog(request, path, filter)) return;
    App->Shortcuts.FilterIndex = static_cast<uint8_t>(filter);
    DownloadProgram(path);
}

void TfrmProgramManager::actDeleteExecute() {
    if (!App || !actDelete->isEnabled() || Selected < 0 || Selected >= ProgramSlotCount) return;
    const int slot = Selected;
    const std::string name = Slots[slot].Name;
    if (ShowMessageBox(this, App->Text(Msg::DeleteProgramConfirm, name), TMsgIcon::Warning,
                       TMsgButtons::YesNoCancel) != QMessageBox::Yes) {
        AfterRun();
        return;
    }
    for (_ProgramSlotStatus& s : Slots) ClearSlotStatus(s);
    TCommCmdList list;
    _CommCmd* c = list.Add();
    c->Service = csClearSRec;
    c->SuperService = 0;
    c->Caption = App->Text(Msg::DeleteProgram, name);
    c->Param = slot;
    c->Name = name;
    uint8_t buffers[ProgramSlotCount][ProgramStatusSize];
    AddStatusCommands(list, buffers);
    if (Run(list, buffers)) ShowMessageBox(this, App->Text(Msg::ProgramDeleted), TMsgIcon::Information);
    AfterRun();
}

void TfrmProgramManager::ShortcutClick(int index) {
    if (index < 0 || index > 3 || !App) return;
    const std::string path = App->Shortcuts.Items[index].Path;
    if (path.empty()) {
        ShowMessageBox(this, App->Text(Msg::ShortcutNotAssigned, std::to_string(index + 1)), TMsgIcon::Information);
        return;
    }
    if (!IsConnected) {
        ShowMessageBox(this, App->Text(Msg::QXNotConnected), TMsgIcon::Information);
        return;
    }
    DownloadProgram(path);
}

void TfrmProgramManager::ShortcutContextPopup(int index, const QPoint& screen) {
    if (index < 0 || index > 3 || !App) return;
    App->Shortcuts.Items[index].Path =
        TfrmShortcutEdit::Execute(this, App, App->Shortcuts.Items[index].Path, screen.x(), screen.y() + 10,
                                  App->Text(Msg::ShortcutEdit, std::to_string(index + 1)));
    UpdateShortcutButtons();
}

void TfrmProgramManager::DataGridClick() {
    DataGrid->viewport()->update();
    const int row = DataGrid->currentRow();
    Selected = row >= 0 && row < ProgramSegmentCount ? Rows[row].Slot : -1;
    UpdateActions();
}

void TfrmProgramManager::DataGridDrawCell(QPainter& painter, int row, const QRect& rect, bool selected) {
    if (row < 0 || row >= ProgramSegmentCount) return;
    const QColor prepared = selected ? DataGrid->palette().color(QPalette::Highlight) : DataGrid->palette().color(QPalette::Base);
    painter.fillRect(rect, prepared);
    painter.setPen(QPen(selected ? QColor(0, 0, 255) : QColor(Qt::black), 1));
    painter.setBrush(prepared);
    bool flag = false;
    if (!IsConnected) {
        painter.setBrush(QColor(128, 128, 128));
        flag = selected;
    } else if (Rows[row].SegmentMask) {
        const int current = DataGrid->currentRow();
        const bool same = current >= 0 && current < ProgramSegmentCount && (Rows[row].SegmentMask & (1u << current));
        painter.setBrush(same ? QColor(255, 255, 255) : QColor(192, 192, 192));
        flag = same;
        if (selected) painter.setBrush(QColor(188, 209, 245));
    }
    DrawSegment(painter, row, flag, rect);
}

void TfrmProgramManager::DrawSegment(QPainter& painter, int row, bool flag, QRect r) {
    const int left = r.left() + DrawInset, right = r.right() + 1 - DrawInset;
    const int top = r.top(), bottom = r.bottom() + 1;
    painter.drawRect(QRect(QPoint(left + 2, top + 2), QPoint(right - 3, bottom - 3)));
    painter.drawRect(QRect(QPoint(left + 2, top + 2), QPoint(left + 22, top + 17)));
    const QFontMetrics fm(painter.font());
    auto text = [&](int x, int y, const QString& s) { painter.drawText(x, y + fm.ascent(), s); };
    painter.setPen(Qt::black);
    text(left + 4, top + 3, QString::number(row + 1));
    const _ProgramSegmentRow& s = Rows[row];
    if (!IsConnected) {
        text(left + 27, top + 3, "???");
        if (flag) {
            painter.setPen(QColor(192, 192, 192));
            text(left + 47, top + 17, QStr(NotConnectedText));
            text(left + 47, top + 32, QStr(PressRefreshText));
        }
    } else if (s.SegmentMask) {
        text(left + 27, top + 3, QStr(s.Name));
        painter.setPen(QColor(128, 128, 128));
        text(left + 27, top + 17, QStr(App->Text(Msg::FileSize, std::to_string(s.ProgramSize))));
        text(left + 27, top + 32, QStr(App->Text(Msg::SegmentSize, std::to_string(s.SegmentSize))));
        if (flag) {
            painter.setPen(Qt::black);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRect(QPoint(right - 17, top + 7), QPoint(right - 8, bottom - 8)));
            painter.setBrush(Qt::black);
            const int fill = SegmentFillHeight(s.SegmentSize, bottom - top - 14);
            if (fill > 0) painter.drawRect(QRect(QPoint(right - 17, top + 7), QPoint(right - 8, top + 6 + fill)));
        }
    }
}

void TfrmProgramManager::FormKeyPress(const QString& key) {
    if (key.size() == 1 && key[0] >= '1' && key[0] <= '8') {
        DataGrid->setCurrentCell(key[0].unicode() - '1', 0);
        DataGridClick();
    }
}

void TfrmProgramManager::FormResize() {
    const int w = DataGrid->width();
    DataGrid->setColumnWidth(0, std::max(0, w - 20));
    DrawInset = w > 260 ? (w - 260) / 2 : 0;
}

bool TfrmProgramManager::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == DataGrid || watched == Client || watched == this)) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Ctrl+1..4 on the main keyboard, not the number pad.
        if (key->modifiers() == Qt::ControlModifier && key->key() >= Qt::Key_1 && key->key() <= Qt::Key_4) {
            ShortcutClick(key->key() - Qt::Key_1);
            return true;
        }
        const QString text = key->text();
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier ||
            key->modifiers() == Qt::ShiftModifier) {
            if (text.size() == 1 && text[0] >= '0' && text[0] <= '9') {
                FormKeyPress(text);
                return true;
            }
        }
    }
    if (event->type() == QEvent::Resize && (watched == DataGrid || watched == DataGrid->viewport())) FormResize();
    return TManagerChild::eventFilter(watched, event);
}

TMDICustomChild* OpenProgramManager(_AppInterface* app) { return OpenManagerWindow<TfrmProgramManager>(app); }
