#include "GamesManager.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolBar>
#include <QToolTip>
#include <QVBoxLayout>

#include <cstring>

#include "Appinterface.h"
#include "Images.h"
#include "UnitRun.h"
#include "Dialogs.h"
#include "MessageIds.h"
#include "FormTranslation.h"
#include "QtText.h"
#include "TextHelpers.h"
#include "SafeFile.h"
#include "SystemCause.h"

namespace {

constexpr int RowHeight = 60;

}  // namespace

TfrmGamesManager::TfrmGamesManager(_AppInterface* app)
    : TManagerChild(app, KindGamesManager, PlacementIndex, ToolBarSlot) {
    setObjectName("frmGamesManager");
    setWindowTitle("Applications");

    actRefresh = NewAction(this, "actRefresh",
                           ActionOptions("Refresh", aiRefresh, QKeySequence(Qt::Key_F5))
                               .Handler([this] { actRefreshExecute(); }));
    actDownloadGame = NewAction(this, "actDownloadGame",
                                ActionOptions("PC -> QX", aiPcToQx, QKeySequence(Qt::Key_Insert))
                                    .Handler([this] { actDownloadGameExecute(); }));
    actDeleteGame = NewAction(this, "actDeleteGame",
                              ActionOptions("Delete", aiDelete, QKeySequence(Qt::Key_Delete))
                                  .Handler([this] { actDeleteGameExecute(); }));

    Client = new QWidget;
    for (QAction* a : {actRefresh, actDownloadGame, actDeleteGame}) Client->addAction(a);
    auto* layout = new QVBoxLayout(Client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    toolbarGamesManager = Named(new QToolBar, "toolbarGamesManager");
    toolbarGamesManager->setIconSize(QSize(16, 16));
    toolbarGamesManager->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (QAction* a : {actRefresh, actDownloadGame, actDeleteGame}) toolbarGamesManager->addAction(a);
    layout->addWidget(toolbarGamesManager);

    DataGrid = NewOwnerDrawnGrid(this, AppSlotCount, RowHeight);
    DataGrid->setStyleSheet("QTableWidget { background: rgb(160, 160, 164); }");
    connect(DataGrid, &QTableWidget::currentCellChanged, this, [this] { UpdateActions(); });
    layout->addWidget(DataGrid, 1);

    StatusBar = Named(new QStatusBar, "StatusBar");
    layout->addWidget(StatusBar);

    PopupMenu = Named(new QMenu("&Edit", this), "PopupMenu");
    for (QAction* a : {actRefresh, actDownloadGame, actDeleteGame}) PopupMenu->addAction(a);
    connect(DataGrid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu->popup(DataGrid->viewport()->mapToGlobal(at)); });
    setWidget(Client);

    if (App && App->Mls) TranslateWidget(*App->Mls, this);
    for (QAction* a : toolbarGamesManager->actions())
        a->setToolTip(QStr(ButtonHintFromCaption(CpStr(a->text()))));
    NotConnectedText = App->Text(Msg::QXNotConnected);
    PressRefreshText = App->Text(Msg::PressRefreshToConnect);
    if (App) PopupMenu->setTitle(QStr(App->Text(Msg::MenuEdit)));
    OwnMenu = PopupMenu;
    OwnToolBar = toolbarGamesManager;
    UpdateActions();
    GrowToContent(QSize());
    RestorePlacement();
}

void TfrmGamesManager::UpdateActions() {
    const int row = DataGrid->currentRow();
    actRefresh->setEnabled(true);
    actDownloadGame->setEnabled(IsConnected);
    actDeleteGame->setEnabled(IsConnected && row >= 0 && row < AppSlotCount && Slots[row].used);
}

bool TfrmGamesManager::Run(TCommCmdList& list) {
    // A run with an error ignored is not a success: what it read or wrote
    // is not whole.
    return App && RunOnUnit(this, *App, list);
}

void TfrmGamesManager::RefreshSlots() {
    for (_AppSlot& s : Slots) s = _AppSlot();
    TCommCmdList list;
    for (int i = 0; i < AppSlotCount; ++i) {
        _CommCmd* c = list.Add();
        c->Service = csReadData;
        c->SuperService = 0;
        c->Caption = App->Text(Msg::ReadApplicationSlotStatus, std::to_string(i));
        c->Param = static_cast<int32_t>(AppSlotAddress(i));
        c->Data = Slots[i].text;
        c->Length = AppHeaderSize;
    }
    IsConnected = Run(list);
    if (IsConnected)
        for (_AppSlot& s : Slots) TakeSlotHeader(s);
    else
        for (_AppSlot& s : Slots) s = _AppSlot();
    UpdateActions();
    DataGrid->viewport()->update();
}

void TfrmGamesManager::DownloadApplication() {
    if (!IsConnected) return;
    int target = FirstFreeSlot(Slots);
    if (target < 0) {
        ShowMessageBox(this, App->Text(Msg::NoMemoryForApplication), TMsgIcon::Stop);
        return;
    }
    TOpenDialogRequest request{this, "Program Download",
                               "Intel Hex File (*.hex,*.h86)|*.hex;*.h86|All files (*.*)|*.*", 1, "*.hex;*.h86"};
    std::string path;
    int filter = 1;
    if (!RunOpenDialog(request, path, filter)) return;
    ClearSystemCause();
    if (!IsRegularFile(path)) {
        ShowFailureMessage(this, App->Text(Msg::FileDoesNotExist, path));
        return;
    }
    HEXFormat hex;
    if (!hex.LoadFromFile(path) && hex.GetLastError() == THexError::FileUnreadable) {
        ShowFailureMessage(this, App->Text(Msg::FileDoesNotExist, path));
        return;
    }
    if (hex.GetLastError() != THexError::None || !hex.HasAppVersion()) {
        ShowMessageBox(this, App->Text(Msg::WrongHexFormat, path), TMsgIcon::Stop);
        return;
    }
    std::vector<_HEXBlock> blocks;
    hex.RepackToBlocks(blocks);
    // The name as the slot's header will hold it, not cut at the first record's end.
    const std::string name = AppImageName(blocks);
    if (const int same = SlotWithName(Slots, name); same >= 0) {
        target = same;
        if (ShowMessageBox(this, App->Text(Msg::ApplicationExistsOverwrite, name), TMsgIcon::Warning, TMsgButtons::YesNo) != QMessageBox::Yes)
            return;
    }
    // Every block is checked before anything is sent.
    const auto addresses = PlaceAppBlocks(blocks, target);
    if (!addresses) {
        ShowMessageBox(this, App->Text(Msg::WrongHexFormat, path), TMsgIcon::Stop);
        return;
    }
    TCommCmdList list;
    for (size_t k = 0; k < blocks.size(); ++k) {
        _CommCmd* c = list.Add();
        c->Service = csWriteData;
        c->SuperService = 0;
        c->Caption = App->Text(Msg::DownloadingApplicationBlock, std::to_string(k));
        c->Param = static_cast<int32_t>((*addresses)[k]);
        c->Data = blocks[k].Data;
        c->Length = AppBlockSize;
    }
    IsConnected = false;
    UpdateActions();
    DataGrid->viewport()->update();
    if (Run(list)) {
        ShowMessageBox(this, App->Text(Msg::ApplicationDownloaded), TMsgIcon::Information);
        RefreshSlots();
    }
}

void TfrmGamesManager::DeleteApplication() {
    const int slot = DataGrid->currentRow();
    if (slot < 0 || slot >= AppSlotCount || !App) return;
    if (ShowMessageBox(this, App->Text(Msg::DeleteApplicationConfirm), TMsgIcon::Warning, TMsgButtons::YesNo) != QMessageBox::Yes) return;
    // Only the header is cleared; the rest of the slot keeps its content.
    uint8_t zeros[AppHeaderSize] = {};
    TCommCmdList list;
    _CommCmd* c = list.Add();
    c->Service = csWriteData;
    c->SuperService = 0;
    c->Caption = App->Text(Msg::DeletingApplicationSlot, std::to_string(slot));
    c->Param = static_cast<int32_t>(AppSlotAddress(slot));
    c->Data = zeros;
    c->Length = AppHeaderSize;
    IsConnected = false;
    UpdateActions();
    DataGrid->viewport()->update();
    if (Run(list)) {
        ShowMessageBox(this, App->Text(Msg::ApplicationDeleted), TMsgIcon::Information);
        RefreshSlots();
    }
}

void TfrmGamesManager::actRefreshExecute() { RefreshSlots(); }
void TfrmGamesManager::actDownloadGameExecute() { DownloadApplication(); }
void TfrmGamesManager::actDeleteGameExecute() {
    if (actDeleteGame->isEnabled()) DeleteApplication();
}

void TfrmGamesManager::DataGridDrawCell(QPainter& painter, int row, const QRect& rect, bool selected) {
    if (row < 0 || row >= AppSlotCount) return;
    // The cell as the grid prepares it; the slot's box takes the brush.
    const QColor prepared = selected ? DataGrid->palette().color(QPalette::Highlight) : QColor(160, 160, 164);
    painter.fillRect(rect, prepared);
    QColor brush = prepared;
    if (IsConnected && Slots[row].used) brush = selected ? QColor(188, 209, 245) : QColor(192, 192, 192);
    else if (!IsConnected) brush = QColor(128, 128, 128);
    painter.setPen(QPen(selected ? QColor(0, 0, 255) : QColor(Qt::black), 1));
    painter.setBrush(brush);
    DrawSlot(painter, row, rect, selected);
}

void TfrmGamesManager::DrawSlot(QPainter& painter, int row, QRect r, bool selected) {
    r.setLeft(r.left() + DrawInset);
    r.setRight(r.right() - DrawInset);
    const int left = r.left(), top = r.top();
    painter.drawRect(QRect(QPoint(left + 2, top + 2), QPoint(r.right() - 2, r.bottom() - 2)));
    painter.drawRect(QRect(QPoint(left + 22, top + 22), QPoint(left + 35, top + 39)));
    painter.setPen(Qt::black);
    const QFontMetrics fm(painter.font());
    // The box is never wider than 260 pixels: a longer text ends in "..."
    // inside it (the whole name shows as the row's hint).
    const int room = std::max(0, r.right() - 2 - 4 - (left + 47));
    auto text = [&](int x, int y, const QString& s) {
        painter.drawText(x, y + fm.ascent(), x == left + 47 ? fm.elidedText(s, Qt::ElideRight, room) : s);
    };
    text(left + 25, top + 24, QString::number(row + 1));
    if (IsConnected) {
        if (Slots[row].used) text(left + 47, top + 24, QStr(AppSlotName(Slots[row])));
    } else if (selected) {
        painter.setPen(QColor(192, 192, 192));
        text(left + 47, top + 17, QStr(NotConnectedText));
        text(left + 47, top + 32, QStr(PressRefreshText));
    } else {
        text(left + 47, top + 24, "???");
    }
}

void TfrmGamesManager::FormKeyPress(const QString& key) {
    if (key.size() == 1 && key[0] >= '1' && key[0] <= '7') DataGrid->setCurrentCell(key[0].unicode() - '1', 0);
}

void TfrmGamesManager::FormResize() {
    const int w = DataGrid->viewport()->width();
    DataGrid->setColumnWidth(0, std::max(0, DataGrid->width() - 20));
    DrawInset = w > 260 ? (w - 260) / 2 : 0;
}

bool TfrmGamesManager::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == DataGrid) {
        const QString key = static_cast<QKeyEvent*>(event)->text();
        if (key.size() == 1 && key[0] >= '1' && key[0] <= '7') {
            FormKeyPress(key);
            return true;
        }
    }
    if (event->type() == QEvent::ToolTip && watched == DataGrid->viewport()) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int row = DataGrid->rowAt(help->pos().y());
        if (IsConnected && row >= 0 && row < AppSlotCount && Slots[row].used)
            QToolTip::showText(help->globalPos(), QStr(AppSlotName(Slots[row])), DataGrid->viewport());
        else
            QToolTip::hideText();
        return true;
    }
    if (event->type() == QEvent::Resize && (watched == DataGrid || watched == DataGrid->viewport())) FormResize();
    return TManagerChild::eventFilter(watched, event);
}

TMDICustomChild* OpenGamesManager(_AppInterface* app) { return OpenManagerWindow<TfrmGamesManager>(app); }
