#include "QXMenuSync.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "Appinterface.h"
#include "UnitRun.h"
#include "Dialogs.h"
#include "FormLayout.h"
#include "FormTranslation.h"
#include "MessageIds.h"
#include "QXMenu.h"
#include "QXMenuDialogs.h"
#include "QtText.h"

namespace {
bool Blank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }
}  // namespace

void TPCContentList::startDrag(Qt::DropActions actions) {
    emit StartDrag();
    QListWidget::startDrag(actions);
    emit EndDrag();
}

TfrmQXMenuSync::TfrmQXMenuSync(_AppInterface* app, TQXMenuData* menu, QWidget* owner)
    : QDialog(owner), App(app), PCMenu(menu) {
    setObjectName("frmQXMenuSync");
    setWindowTitle("Menu Synchronization");

    auto title = [](const char* name, const char* text, QWidget* parent) {
        auto* label = new QLabel(QString::fromLatin1(text), parent);
        label->setObjectName(name);
        label->setFrameShape(QFrame::StyledPanel);
        label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        return label;
    };
    pnlQXContent = new QWidget(this);
    pnlQXContent->setObjectName("pnlQXContent");
    pnlQXContentTitle = title("pnlQXContentTitle", "   QX", pnlQXContent);
    listboxQXContent = new QListWidget(pnlQXContent);
    listboxQXContent->setObjectName("listboxQXContent");
    listboxQXContent->setAcceptDrops(true);
    listboxQXContent->viewport()->setAcceptDrops(true);
    listboxQXContent->setDragDropMode(QAbstractItemView::DropOnly);
    listboxQXContent->viewport()->installEventFilter(this);
    listboxQXContent->installEventFilter(this);
    auto* qx = new QVBoxLayout(pnlQXContent);
    qx->setContentsMargins(0, 0, 0, 0);
    qx->setSpacing(2);
    qx->addWidget(pnlQXContentTitle);
    qx->addWidget(listboxQXContent);

    pnlSyncCommands = new QWidget(this);
    pnlSyncCommands->setObjectName("pnlSyncCommands");
    btnPCToQX = new QPushButton("&<<<", pnlSyncCommands);
    btnPCToQX->setObjectName("btnPCToQX");
    auto* sync = new QVBoxLayout(pnlSyncCommands);
    sync->setContentsMargins(0, 0, 0, 0);
    sync->addStretch();
    sync->addWidget(btnPCToQX);
    sync->addStretch();

    pnlPCContent = new QWidget(this);
    pnlPCContent->setObjectName("pnlPCContent");
    pnlPCContentTitle = title("pnlPCContentTitle", "   PC", pnlPCContent);
    listboxPCContent = new TPCContentList(pnlPCContent);
    listboxPCContent->setObjectName("listboxPCContent");
    listboxPCContent->setDragEnabled(true);
    listboxPCContent->setDragDropMode(QAbstractItemView::DragOnly);
    listboxPCContent->installEventFilter(this);
    auto* pc = new QVBoxLayout(pnlPCContent);
    pc->setContentsMargins(0, 0, 0, 0);
    pc->setSpacing(2);
    pc->addWidget(pnlPCContentTitle);
    pc->addWidget(listboxPCContent);

    pnlCommands = new QWidget(this);
    pnlCommands->setObjectName("pnlCommands");
    btnRefresh = new QPushButton("&Refresh", pnlCommands);
    btnRefresh->setObjectName("btnRefresh");
    btnDelete = new QPushButton("&Delete", pnlCommands);
    btnDelete->setObjectName("btnDelete");
    btnDelete->setEnabled(false);
    btnClose = new QPushButton("&Close", pnlCommands);
    btnClose->setObjectName("btnClose");
    auto* commands = new QHBoxLayout(pnlCommands);
    commands->setContentsMargins(0, 0, 0, 0);
    commands->addWidget(btnRefresh);
    commands->addWidget(btnDelete);
    commands->addStretch();
    commands->addWidget(btnClose);

    auto* lists = new QHBoxLayout;
    lists->addWidget(pnlQXContent, 1);
    lists->addWidget(pnlSyncCommands);
    lists->addWidget(pnlPCContent, 1);
    auto* all = new QVBoxLayout(this);
    all->addLayout(lists, 1);
    all->addWidget(pnlCommands);

    for (QPushButton* b : {btnPCToQX, btnRefresh, btnDelete}) b->setAutoDefault(false);
    connect(btnRefresh, &QPushButton::clicked, this, &TfrmQXMenuSync::btnRefreshClick);
    connect(btnPCToQX, &QPushButton::clicked, this, &TfrmQXMenuSync::btnPCToQXClick);
    connect(btnDelete, &QPushButton::clicked, this, &TfrmQXMenuSync::btnDeleteClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmQXMenuSync::btnCloseClick);
    connect(listboxPCContent, &QListWidget::currentRowChanged, this, &TfrmQXMenuSync::listboxPCContentClick);
    connect(listboxQXContent, &QListWidget::currentRowChanged, this, &TfrmQXMenuSync::listboxQXContentClick);
    connect(listboxPCContent, &QListWidget::itemDoubleClicked, this, [this] {
        if (btnPCToQX->isEnabled()) btnPCToQXClick();
    });
    connect(listboxPCContent, &TPCContentList::StartDrag, this, &TfrmQXMenuSync::listboxPCContentStartDrag);
    connect(listboxPCContent, &TPCContentList::EndDrag, this, &TfrmQXMenuSync::listboxPCContentEndDrag);

    if (App && App->Mls) TranslateWidget(*App->Mls, this);
    SetStartingSize(this, QSize(351, 245));
    Connected = 0;
    listboxQXContent->setEnabled(false);
    QPalette grey = listboxQXContent->palette();
    grey.setColor(QPalette::Base, palette().color(QPalette::Button));
    listboxQXContent->setPalette(grey);
    FillPCList();
    if (listboxPCContent->count() > 0) listboxPCContent->setCurrentRow(0);
    UpdateButtons();
}

void TfrmQXMenuSync::FillPCList() {
    listboxPCContent->clear();
    for (int32_t l = 0; l < PCMenu->GetLanguageCount(); ++l) {
        const std::string name = PCMenu->GetLanguageName(l);
        listboxPCContent->addItem(
            QStr(name.empty() ? "<" + App->Text(Msg::CaptionLanguageColumn) + std::to_string(l + 1) + ">" : name));
    }
}

void TfrmQXMenuSync::UpdateButtons() {
    btnPCToQX->setEnabled(listboxPCContent->currentRow() >= 0 && Connected);
    btnDelete->setEnabled(listboxQXContent->currentRow() >= 0);
}

void TfrmQXMenuSync::listboxPCContentClick() { UpdateButtons(); }
void TfrmQXMenuSync::listboxQXContentClick() { UpdateButtons(); }

void TfrmQXMenuSync::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (FirstShow) {
        FirstShow = false;
        // The unit is read once the dialog is on the screen.
        QTimer::singleShot(0, this, &TfrmQXMenuSync::FormShow);
    }
}

void TfrmQXMenuSync::FormShow() { ReadUnitLanguages(); }
void TfrmQXMenuSync::btnRefreshClick() { ReadUnitLanguages(); }
void TfrmQXMenuSync::btnCloseClick() { done(1); }

void TfrmQXMenuSync::Run(TCommCmdList& list) {
    // The run's last command reads the unit's list into a buffer of its
    // own; the list shows it once the run is over.
    TTextLines read;
    _CommCmd* reader = list.Add();
    reader->SuperService = cssReadMenuLangList;
    reader->Service = 0;
    reader->Caption = App->Text(Msg::ReadingMenuLanguages);
    reader->Lines = &read;
    UnitList.Clear();
    listboxQXContent->clear();
    Connected = RunOnUnit(this, *App, list);
    if (Connected) UnitList = read;
    for (size_t i = 0; i < UnitList.size(); ++i) listboxQXContent->addItem(QStr(UnitList[i]));
    listboxQXContent->setEnabled(Connected);
    QPalette colours = listboxQXContent->palette();
    colours.setColor(QPalette::Base, palette().color(Connected ? QPalette::Base : QPalette::Button));
    listboxQXContent->setPalette(colours);
    if (listboxQXContent->count() > 0) listboxQXContent->setCurrentRow(0);
    UpdateButtons();
}

void TfrmQXMenuSync::ReadUnitLanguages() {
    TCommCmdList list;
    Run(list);
}

void TfrmQXMenuSync::WriteUnitLanguage(int32_t language, int32_t slot) {
    uint32_t size = 0;
    std::unique_ptr<uint8_t[]> image = PCMenu->BuildLanguageImage(language, size);
    TCommCmdList list;
    _CommCmd* write = list.Add();
    write->SuperService = cssWriteMenuLanguage;
    write->Service = 0;
    write->Caption = App->Text(Msg::WritingMenuLanguage);
    write->Param = slot;
    write->Data = image.get();
    write->Length = static_cast<int32_t>(size);
    Run(list);
}

void TfrmQXMenuSync::DeleteUnitLanguage(int32_t slot) {
    TCommCmdList list;
    _CommCmd* clear = list.Add();
    clear->SuperService = cssDeleteMenuLanguage;
    clear->Service = 0;
    clear->Caption = App->Text(Msg::DeletingMenuLanguage);
    clear->Param = slot;
    Run(list);
}

int32_t TfrmQXMenuSync::FreeSlot(const TTextLines& unitLanguages) {
    const auto count = static_cast<int32_t>(unitLanguages.size());
    int32_t i = 0;
    while (i < count && unitLanguages.GetObject(static_cast<size_t>(i)) == i) ++i;
    return i;
}

void TfrmQXMenuSync::btnPCToQXClick() {
    const int32_t l = listboxPCContent->currentRow();
    if (!Connected || l < 0 || l >= PCMenu->GetLanguageCount()) return;
    std::string name = PCMenu->GetLanguageName(l);
    while (Blank(name)) {
        std::string typed = name;
        if (!InputQuery(this, App->Text(Msg::CaptionLanguageColumn),
                        App->Text(Msg::InputLanguageName, std::to_string(l + 1)), typed,
                        static_cast<int>(TQXMenuData::LanguageNameLength)))
            return;
        // The name as the menu keeps it (cut to its field) is the one shown
        // and looked for in the unit.
        PCMenu->SetLanguageName(l, typed);
        name = PCMenu->GetLanguageName(l);
        NamesChanged = true;
        if (QListWidgetItem* entry = listboxPCContent->item(l)) entry->setText(QStr(name));
    }
    int32_t slot = -1;
    for (size_t i = 0; i < UnitList.size(); ++i)
        if (UnitList[i] == name) {
            slot = UnitList.GetObject(i);
            break;
        }
    if (slot >= 0) {
        if (ShowMessageBox(this, App->Text(Msg::MenuLanguageExistsOverwrite, name), TMsgIcon::Warning,
                           TMsgButtons::YesNo) != QMessageBox::Yes)
            return;
    } else {
        slot = FreeSlot(UnitList);
    }
    WriteUnitLanguage(l, slot);
}

void TfrmQXMenuSync::btnDeleteClick() {
    const int row = listboxQXContent->currentRow();
    if (row < 0 || static_cast<size_t>(row) >= UnitList.size()) return;
    DeleteUnitLanguage(UnitList.GetObject(static_cast<size_t>(row)));
}

void TfrmQXMenuSync::listboxPCContentStartDrag() { DragIndex = listboxPCContent->currentRow(); }
void TfrmQXMenuSync::listboxPCContentEndDrag() { DragIndex = -1; }

bool TfrmQXMenuSync::listboxQXContentDragOver(QObject* source) {
    return DragIndex >= 0 && source == listboxPCContent;
}

void TfrmQXMenuSync::listboxQXContentDragDrop(QObject* source) {
    if (listboxQXContentDragOver(source)) btnPCToQXClick();
}

bool TfrmQXMenuSync::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == listboxQXContent->viewport()) {
        if (type == QEvent::DragEnter || type == QEvent::DragMove) {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (listboxQXContentDragOver(drag->source())) drag->acceptProposedAction();
            else drag->ignore();
            return true;
        }
        if (type == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!listboxQXContentDragOver(drop->source())) {
                drop->ignore();
                return true;
            }
            drop->acceptProposedAction();
            // Not inside the drag's own loop: the write runs a dialog of its own.
            QTimer::singleShot(0, this, &TfrmQXMenuSync::btnPCToQXClick);
            return true;
        }
        return false;
    }
    if (type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == listboxPCContent && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            if (btnPCToQX->isEnabled()) btnPCToQXClick();
            return true;
        }
        if (watched == listboxQXContent && key == Qt::Key_Delete) {
            if (btnDelete->isEnabled()) btnDeleteClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

int32_t RunMenuSync(_AppInterface* app, TQXMenuData* menu, bool* namesChanged) {
    TfrmQXMenuSync dialog(app, menu, app ? app->MainForm : nullptr);
    const int32_t result = dialog.exec();
    if (namesChanged) *namesChanged = dialog.NamesChanged;
    return result;
}
