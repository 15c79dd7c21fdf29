#include "MemView.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <vector>

#include "Appinterface.h"
#include "Images.h"
#include "UnitRun.h"
#include "Dialogs.h"
#include "MessageIds.h"
#include "FormTranslation.h"
#include "MemViewText.h"
#include "QtText.h"
#include "SafeFile.h"
#include "TextHelpers.h"
#include "SystemCause.h"

TfrmMemView::TfrmMemView(_AppInterface* app) : TManagerChild(app, KindMemoryViewer, PlacementIndex, ToolBarSlot) {
    setObjectName("frmMemView");
    setWindowTitle("Memory Viewer");

    actRefreshPage = NewAction(this, "actRefreshPage",
                               ActionOptions("Refresh Page", aiRefresh, QKeySequence(Qt::Key_F5))
                                   .Handler([this] { actRefreshPageExecute(); }));
    actGotoPage = NewAction(this, "actGotoPage",
                            ActionOptions("Go To Page", aiGotoPage, QKeySequence(Qt::CTRL | Qt::Key_G))
                                .Handler([this] { actGotoPageExecute(); }));
    actGotoPage->setToolTip("Goto Page");
    actPageUp = NewAction(this, "actPageUp",
                          ActionOptions("Page Up", aiPageUp, QKeySequence(Qt::CTRL | Qt::Key_PageUp))
                              .Handler([this] { actPageUpExecute(); }));
    actPageDown = NewAction(this, "actPageDown",
                            ActionOptions("Page Down", aiPageDown, QKeySequence(Qt::CTRL | Qt::Key_PageDown))
                                .Handler([this] { actPageDownExecute(); }));
    actSavePage = NewAction(this, "actSavePage",
                            ActionOptions("Save Page", aiSavePage).Handler([this] { actSavePageExecute(); }));

    // The keys work wherever the focus is in the window, also on the window
    // itself: the dump is disabled until a page was read.
    for (QAction* a : {actRefreshPage, actGotoPage, actPageUp, actPageDown, actSavePage}) addAction(a);
    Client = new QWidget;
    auto* layout = new QVBoxLayout(Client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar = Named(new QToolBar, "ToolBar");
    ToolBar->setIconSize(QSize(16, 16));
    const std::pair<QAction*, const char*> buttons[] = {{actRefreshPage, "toolbtnRefreshPage"},
                                                        {actGotoPage, "toolbtnGotoPage"},
                                                        {actPageDown, "toolbtnPageDown"},
                                                        {actPageUp, "toolbtnPageUp"},
                                                        {nullptr, nullptr},
                                                        {actSavePage, "toolbtnSavePage"}};
    for (const auto& [a, name] : buttons) {
        if (!a) {
            ToolBar->addSeparator();
            continue;
        }
        ToolBar->addAction(a);
        ToolBar->widgetForAction(a)->setObjectName(name);
    }
    layout->addWidget(ToolBar);

    Panel2 = Named(new QFrame, "Panel2");
    Panel2->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(Panel2);
    row->setContentsMargins(6, 3, 6, 3);
    Label2 = Named(new QLabel("Input new address (hex):"), "Label2");
    Edit1 = Named(new QLineEdit("10000"), "Edit1");
    Edit1->installEventFilter(this);
    Label2->setBuddy(Edit1);
    Label2->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    SpeedButton1 = Named(new QToolButton, "SpeedButton1");
    SpeedButton1->setText("&Go");
    connect(SpeedButton1, &QToolButton::clicked, this, &TfrmMemView::SpeedButton1Click);
    SpeedButton2 = Named(new QToolButton, "SpeedButton2");
    SpeedButton2->setText("x");
    connect(SpeedButton2, &QToolButton::clicked, this, &TfrmMemView::SpeedButton2Click);
    row->addWidget(Label2);
    row->addWidget(Edit1, 1);
    row->addWidget(SpeedButton1);
    row->addWidget(SpeedButton2);
    Panel2->hide();
    layout->addWidget(Panel2);

    out = Named(new QPlainTextEdit, "out");
    out->setReadOnly(true);
    out->setEnabled(false);
    out->setLineWrapMode(QPlainTextEdit::NoWrap);
    out->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font("Courier New");
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    out->setFont(font);
    // The memo never wraps and never scrolls sideways: it is at least as wide
    // as a dump line, so the character column is always in view.
    {
        const std::vector<uint8_t> sample(16, 0xFF);
        const std::u32string line = DumpLine(0xFFFFF0, sample.data());
        const int text = out->fontMetrics().horizontalAdvance(
            QString::fromUcs4(line.data(), static_cast<qsizetype>(line.size())));
        const int margins = 2 * (out->frameWidth() + static_cast<int>(out->document()->documentMargin()) + 2);
        out->setMinimumWidth(text + margins + out->verticalScrollBar()->sizeHint().width());
    }
    out->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    out->installEventFilter(this);
    PopupMenu = Named(new QMenu("&Edit", this), "PopupMenu");
    PopupMenu->addAction(actRefreshPage);
    PopupMenu->addSeparator();
    PopupMenu->addAction(actPageUp);
    PopupMenu->addAction(actPageDown);
    PopupMenu->addAction(actGotoPage);
    PopupMenu->addSeparator();
    PopupMenu->addAction(actSavePage);
    out->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(out, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu->popup(out->mapToGlobal(at)); });
    layout->addWidget(out, 1);

    StatusBar1 = Named(new QStatusBar, "StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    for (QLabel*& panel : StatusPanel) {
        panel = new QLabel;
        panel->setMinimumWidth(100);
        panel->setFrameShape(QFrame::StyledPanel);
        StatusBar1->addWidget(panel);
    }
    layout->addWidget(StatusBar1);

    // "Not connected." over the middle of the window.
    Panel1 = Named(new QFrame(Client), "Panel1");
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setAutoFillBackground(true);
    auto* panel = new QHBoxLayout(Panel1);
    Image1 = Named(new QLabel, "Image1");
    auto* texts = new QVBoxLayout;
    Panel1Caption = Named(new QLabel("Not connected."), "Panel1Caption");
    QFont bold = Panel1Caption->font();
    bold.setBold(true);
    Panel1Caption->setFont(bold);
    Label1 = Named(new QLabel("(Press 'Refresh' to connect.)"), "Label1");
    Label1->setStyleSheet("color: grey");
    texts->addWidget(Panel1Caption);
    texts->addWidget(Label1);
    panel->addWidget(Image1);
    panel->addLayout(texts);
    setWidget(Client);

    if (App && App->Mls) TranslateWidget(*App->Mls, this);
    for (QAction* a : ToolBar->actions())
        if (!a->isSeparator()) a->setToolTip(QStr(ButtonHintFromCaption(CpStr(a->text()))));
    actGotoPage->setToolTip("Goto Page");
    Buffer.assign(MemPageSize, 0);
    Address = MemStartAddress;
    IsValid = false;
    FillDump();
    if (App) PopupMenu->setTitle(QStr(App->Text(Msg::MenuEdit)));
    OwnMenu = PopupMenu;
    OwnToolBar = ToolBar;
    UpdateActions();
    GrowToContent(MinimumSize);
    RestorePlacement();
}

void TfrmMemView::UpdateActions() {
    actRefreshPage->setEnabled(true);
    actGotoPage->setEnabled(true);
    actPageUp->setEnabled(IsValid && CanPageUp(Address));
    actPageDown->setEnabled(IsValid && CanPageDown(Address));
    actSavePage->setEnabled(IsValid);
}

void TfrmMemView::FillDump() {
    const std::u32string text = DumpPage(Address, Buffer.data());
    out->setPlainText(QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size())));
}

void TfrmMemView::actRefreshPageExecute() {
    Panel2->hide();
    TCommCmdList list;
    _CommCmd* c = list.Add();
    c->Service = csReadData;
    c->SuperService = 0;
    c->Caption = App->Text(Msg::ReadMemory) + " " + AddressHex(Address) + "h.";
    c->Param = static_cast<int32_t>(Address);
    c->Data = Buffer.data();
    c->Length = static_cast<int32_t>(MemPageSize);
    // A page read with an error ignored is not whole.
    IsValid = App && RunOnUnit(this, *App, list);
    Panel1->setVisible(!IsValid);
    out->setEnabled(IsValid);
    FillDump();
    UpdateActions();
    FormResize();
}

void TfrmMemView::actPageUpExecute() {
    Panel2->hide();
    Address = PageUpAddress(Address);
    actRefreshPageExecute();
}

void TfrmMemView::actPageDownExecute() {
    Panel2->hide();
    Address = PageDownAddress(Address);
    actRefreshPageExecute();
}

void TfrmMemView::actGotoPageExecute() {
    Edit1->setText(QString::fromStdString("0x" + AddressHex(Address)));
    Panel2->show();
    GrowToContent(MinimumSize);
    Edit1->setFocus();
}

void TfrmMemView::SpeedButton1Click() {
    Panel2->hide();
    Address = GoAddress(CpStr(Edit1->text()), Address);
    actRefreshPageExecute();
}

void TfrmMemView::SpeedButton2Click() { Panel2->hide(); }

void TfrmMemView::actSavePageExecute() {
    if (!IsValid) return;
    Panel2->hide();
    TOpenDialogRequest request{this, "Memory Page Dump", "Data files (*.dat)|*.dat|All files (*.*)|*.*", 1, "*.dat"};
    std::string name;
    if (!RunSaveDialog(request, "memdump", name)) return;
    // The raw page, no header; a failed or short write leaves no file.
    const std::string bytes(reinterpret_cast<const char*>(Buffer.data()), Buffer.size());
    ClearSystemCause();
    if (!ReplaceFileContents(name, bytes)) ShowFailureMessage(this, App->Text(Msg::CannotSaveFile, name));
}

bool TfrmMemView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == out) {
            // Where the caret was when the key went down, 0-based.
            const QTextCursor cursor = out->textCursor();
            StatusPanel[0]->setText(QString("%1 :%2").arg(cursor.blockNumber()).arg(cursor.positionInBlock()));
        } else if (watched == Edit1) {
            if (key->key() == Qt::Key_Escape) {
                Panel2->hide();
                return true;
            }
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                SpeedButton1Click();
                return true;
            }
        }
    }
    return TManagerChild::eventFilter(watched, event);
}

void TfrmMemView::resizeEvent(QResizeEvent* event) {
    TManagerChild::resizeEvent(event);
    FormResize();
}

void TfrmMemView::FormResize() {
    Panel1->adjustSize();
    Panel1->move((Client->width() - Panel1->width()) / 2, (Client->height() - Panel1->height()) / 2);
    Panel1->raise();
}

TMDICustomChild* OpenMemView(_AppInterface* app) { return OpenManagerWindow<TfrmMemView>(app); }
