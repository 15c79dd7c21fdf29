#include "Convert.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QShowEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "Appinterface.h"
#include "ConvertText.h"
#include "FormTranslation.h"
#include "QtText.h"
#include "ScreenFit.h"

namespace {

constexpr int NoPageIndex = 2;

}  // namespace

// No placement record and no tool bar: the converter keeps its placement in
// the ini file.
TfrmConvert::TfrmConvert(_AppInterface* app) : TManagerChild(app, KindConvert, -1, -1) {
    setObjectName("frmConvert");
    setWindowTitle("Converter");

    Client = new QWidget;
    auto* layout = new QVBoxLayout(Client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    actHexDec = Named(new QAction("Hex -> Dec", this), "actHexDec");
    actHexDec->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    actHexDec->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(actHexDec, &QAction::triggered, this, &TfrmConvert::actHexDecExecute);
    Client->addAction(actHexDec);
    PopupMenu1 = Named(new QMenu(this), "PopupMenu1");
    PopupMenu1->addAction(actHexDec);

    PageControl1 = Named(new QTabWidget, "PageControl1");
    TabSheet1 = Named(new QWidget, "TabSheet1");
    auto* page1 = new QVBoxLayout(TabSheet1);
    Splitter1 = Named(new QSplitter(Qt::Horizontal), "Splitter1");
    Splitter1->setChildrenCollapsible(false);
    Memo1 = Named(new QPlainTextEdit, "Memo1");
    Memo2 = Named(new QPlainTextEdit, "Memo2");
    for (QPlainTextEdit* memo : {Memo1, Memo2}) {
        memo->setLineWrapMode(QPlainTextEdit::NoWrap);
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(memo, &QWidget::customContextMenuRequested, this,
                [this, memo](const QPoint& at) { PopupMenu1->popup(memo->mapToGlobal(at)); });
        memo->installEventFilter(this);
        Splitter1->addWidget(memo);
    }
    Memo1->setMinimumSize(50, 20);
    page1->addWidget(Splitter1, 1);
    btnHexDec = Named(new QPushButton(actHexDec->text()), "btnHexDec");
    connect(btnHexDec, &QPushButton::clicked, actHexDec, &QAction::trigger);
    connect(actHexDec, &QAction::changed, btnHexDec, [this] { btnHexDec->setText(actHexDec->text()); });
    page1->addWidget(btnHexDec, 0, Qt::AlignLeft);
    PageControl1->addTab(TabSheet1, "HEX->DEC");

    TabSheet2 = Named(new QWidget, "TabSheet2");
    auto* page2 = new QFormLayout(TabSheet2);
    lblDelimiter = Named(new QLabel("Delimiter"), "lblDelimiter");
    editDelimiter = Named(new QLineEdit, "editDelimiter");
    page2->addRow(lblDelimiter, editDelimiter);
    lblBytes = Named(new QLabel("Bytes"), "lblBytes");
    cmbBytes = Named(new QComboBox, "cmbBytes");
    cmbBytes->addItems({"1", "2", "4", "8"});
    page2->addRow(lblBytes, cmbBytes);
    cbSigned = Named(new QCheckBox("Signed"), "cbSigned");
    page2->addRow(QString(), cbSigned);
    PageControl1->addTab(TabSheet2, "Options");
    // A stored page index that names no page shows this empty page until
    // the user picks a tab.
    NoPage = new QWidget;
    PageControl1->addTab(NoPage, QString());
    PageControl1->setTabVisible(NoPageIndex, false);
    layout->addWidget(PageControl1, 1);

    StatusBar1 = Named(new QStatusBar, "StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    const int widths[2] = {65, 50};
    const char* texts[2] = {"HEX<->DEC", "E:0"};
    for (int i = 0; i < 2; ++i) {
        StatusPanel[i] = new QLabel(texts[i]);
        StatusPanel[i]->setMinimumWidth(widths[i]);
        StatusPanel[i]->setFrameShape(QFrame::StyledPanel);
        StatusBar1->addWidget(StatusPanel[i]);
    }
    layout->addWidget(StatusBar1);
    setWidget(Client);

    if (App && App->Mls) TranslateWidget(*App->Mls, this);
    GrowToContent(QSize(300, 150));
    ReadSettings();
    // Typing or pasting goes into the input as soon as the window opens.
    Memo1->setFocus();
}

void TfrmConvert::ApplyMemo1Width() {
    if (PendingMemo1Width < 0) return;
    if (layout()) layout()->activate();
    Client->layout()->activate();
    TabSheet1->layout()->activate();
    const int total = Splitter1->width() - Splitter1->handleWidth();
    Splitter1->setSizes({PendingMemo1Width, std::max(1, total - PendingMemo1Width)});
    if (isVisible()) PendingMemo1Width = -1;
}

void TfrmConvert::showEvent(QShowEvent* event) {
    TManagerChild::showEvent(event);
    ApplyMemo1Width();
}

int TfrmConvert::TabIndex() const {
    const int i = PageControl1->currentIndex();
    return i == NoPageIndex ? -1 : i;
}

void TfrmConvert::SetTabIndex(int index) {
    PageControl1->setCurrentIndex(index == 0 || index == 1 ? index : NoPageIndex);
}

void TfrmConvert::ReadSettings() {
    TMemIniFile empty;
    const TMemIniFile& ini = App && App->IniFile ? *App->IniFile : empty;
    auto integer = [&](const char* key, int def) {
        const int64_t v = ini.ReadInteger(Section, key, def);
        return v < INT32_MIN || v > INT32_MAX ? def : static_cast<int>(v);
    };
    const int top = integer("Top", 100);
    const int left = integer("Left", 100);
    const int height = integer("Height", 200);
    const int width = integer("Width", 400);
    move(left, top);
    resize(std::max(width, minimumWidth()), std::max(height, minimumHeight()));
    KeepInView(this);
    if (integer("Maximized", 0) != 0) setWindowState(windowState() | Qt::WindowMaximized);
    PendingMemo1Width = integer("Memo1Width", this->width() / 2);
    ApplyMemo1Width();
    SetTabIndex(integer("TabIndex", 0));
    cbSigned->setChecked(integer("SignedChecked", 1) != 0);
    const int item = integer("cmbBytesItemIndex", 1);
    cmbBytes->setCurrentIndex(item >= 0 && item < cmbBytes->count() ? item : -1);
    editDelimiter->setText(QStr(ini.ReadString(Section, "editDelimiterText", ", ;.:-/#%&")));
}

bool TfrmConvert::FormCloseQuery() {
    if (!App || !App->IniFile) return true;
    TMemIniFile& ini = *App->IniFile;
    ini.WriteInteger(Section, "Memo1Width", Memo1->width());
    ini.WriteInteger(Section, "TabIndex", TabIndex());
    ini.WriteInteger(Section, "SignedChecked", cbSigned->isChecked() ? 1 : 0);
    ini.WriteInteger(Section, "cmbBytesItemIndex", cmbBytes->currentIndex());
    ini.WriteString(Section, "editDelimiterText", CpStr(editDelimiter->text()));
    const bool maximized = windowState() & Qt::WindowMaximized;
    if (!maximized) {
        ini.WriteInteger(Section, "Top", y());
        ini.WriteInteger(Section, "Left", x());
        ini.WriteInteger(Section, "Height", height());
        ini.WriteInteger(Section, "Width", width());
    }
    ini.WriteInteger(Section, "Maximized", maximized ? 1 : 0);
    // Written at once, as each value was on Windows; the record then finds
    // nothing left to write.
    std::string text;
    if (!App->IniFileName.empty() && ini.GetText(text) && text != App->IniFileText &&
        ini.SaveToFile(App->IniFileName))
        App->IniFileText = text;
    return true;
}

void TfrmConvert::actHexDecExecute() {
    TConvertOptions options;
    options.Delimiters = CpStr(editDelimiter->text());
    options.Bytes = CpStr(cmbBytes->currentText());
    options.Signed = cbSigned->isChecked();
    const QString input = Memo1->toPlainText();
    std::vector<std::string> lines;
    if (!input.isEmpty())
        for (const QString& line : input.split('\n')) lines.push_back(CpStr(line));
    const TConvertResult result = ConvertLines(lines, options);
    StatusPanel[1]->setText(QString("E:%1").arg(result.Errors));
    QString output;
    for (size_t i = 0; i < result.Lines.size(); ++i) {
        if (i) output += '\n';
        output += QStr(result.Lines[i]);
    }
    Memo2->setPlainText(output);
}

bool TfrmConvert::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease && (watched == Memo1 || watched == Memo2))
        Memo1KeyUp(static_cast<QPlainTextEdit*>(watched), static_cast<QKeyEvent*>(event));
    return TManagerChild::eventFilter(watched, event);
}

void TfrmConvert::Memo1KeyUp(QPlainTextEdit* memo, QKeyEvent* event) {
    if (event->key() == Qt::Key_A && (event->modifiers() & Qt::ControlModifier)) memo->selectAll();
}

TMDICustomChild* OpenConvert(_AppInterface* app) { return OpenManagerWindow<TfrmConvert>(app); }
