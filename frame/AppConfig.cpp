#include "AppConfig.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "Dialogs.h"
#include "FormLayout.h"
#include "FormTranslation.h"
#include "QtText.h"

int32_t TfrmAppConfig::Execute(_AppInterface* app) {
    TfrmAppConfig dialog(app);
    return dialog.exec();
}

namespace {

template <typename T>
T* Named(T* object, const char* name) {
    object->setObjectName(name);
    return object;
}

}  // namespace

TfrmAppConfig::TfrmAppConfig(_AppInterface* app) : QDialog(app ? app->MainForm : nullptr), App(app) {
    setObjectName("frmAppConfig");
    setWindowTitle("Configuration");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    PageControl = Named(new QTabWidget, "PageControl");
    // Every page title stays readable: the tabs never scroll.
    PageControl->setUsesScrollButtons(false);
    PageControl->setElideMode(Qt::ElideNone);

    tabsheetGeneral = Named(new QWidget, "tabsheetGeneral");
    PageControl->addTab(tabsheetGeneral, "General");
    grpboxCommunication = Named(new QGroupBox(" Communication "), "grpboxCommunication");
    lblComPort = Named(new QLabel("Com &Port:"), "lblComPort");
    cmbboxComPort = Named(new QComboBox, "cmbboxComPort");
    cmbboxComPort->setMaxVisibleItems(16);
    cmbboxComPort->setMinimumWidth(80);
    lblComPort->setBuddy(cmbboxComPort);
    lblBaudRate = Named(new QLabel("&Baudrate: "), "lblBaudRate");
    cmbboxBaudRate = Named(new QComboBox, "cmbboxBaudRate");
    cmbboxBaudRate->setMinimumWidth(100);
    lblBaudRate->setBuddy(cmbboxBaudRate);
    auto* communication = new QHBoxLayout(grpboxCommunication);
    communication->addWidget(lblComPort);
    communication->addWidget(cmbboxComPort);
    communication->addSpacing(12);
    communication->addWidget(lblBaudRate);
    communication->addWidget(cmbboxBaudRate);
    communication->addStretch();

    grpboxToolBar = Named(new QGroupBox(" Application Toolbars "), "grpboxToolBar");
    chkboxFloatToolBar = Named(new QCheckBox("Fle&xible toolbars."), "chkboxFloatToolBar");
    (new QVBoxLayout(grpboxToolBar))->addWidget(chkboxFloatToolBar);

    grpboxLanguage = Named(new QGroupBox(" Language "), "grpboxLanguage");
    listboxLanguages = Named(new QListWidget, "listboxLanguages");
    (new QVBoxLayout(grpboxLanguage))->addWidget(listboxLanguages);

    auto* general = new QVBoxLayout(tabsheetGeneral);
    general->addWidget(grpboxCommunication);
    general->addWidget(grpboxToolBar);
    general->addWidget(grpboxLanguage, 1);

    tabsheetShortcuts = Named(new QWidget, "tabsheetShortcuts");
    PageControl->addTab(tabsheetShortcuts, "Shortcuts");
    auto* shortcuts = new QGridLayout(tabsheetShortcuts);
    shortcuts->setColumnStretch(0, 1);
    static const char* labelNames[4] = {"lblShortcut1", "lblShortcut2", "lblShortcut3", "lblShortcut4"};
    static const char* editNames[4] = {"edtShortcut1", "edtShortcut2", "edtShortcut3", "edtShortcut4"};
    static const char* browseNames[4] = {"btnShortcutBrowse1", "btnShortcutBrowse2", "btnShortcutBrowse3",
                                         "btnShortcutBrowse4"};
    for (int i = 0; i < 4; ++i) {
        lblShortcut[i] = Named(new QLabel(QString("Shortcut &%1").arg(i + 1)), labelNames[i]);
        edtShortcut[i] = Named(new QLineEdit, editNames[i]);
        lblShortcut[i]->setBuddy(edtShortcut[i]);
        btnShortcutBrowse[i] = Named(new QPushButton("Browse..."), browseNames[i]);
        btnShortcutBrowse[i]->setAutoDefault(false);
        if (i > 0) shortcuts->setRowMinimumHeight(3 * i, 8);
        shortcuts->addWidget(lblShortcut[i], 3 * i + 1, 0, 1, 2);
        shortcuts->addWidget(edtShortcut[i], 3 * i + 2, 0);
        shortcuts->addWidget(btnShortcutBrowse[i], 3 * i + 2, 1);
    }
    lblInfo1 = Named(new QLabel("Shortcuts are used in Program Manager."), "lblInfo1");
    lblInfo2 = Named(new QLabel("It's a facility for fast downloading of most utilizable programs."), "lblInfo2");
    shortcuts->setRowMinimumHeight(12, 16);
    shortcuts->addWidget(lblInfo1, 13, 0, 1, 2);
    shortcuts->addWidget(lblInfo2, 14, 0, 1, 2);
    shortcuts->setRowStretch(15, 1);

    tabsheetResetDefaults = Named(new QWidget, "tabsheetResetDefaults");
    PageControl->addTab(tabsheetResetDefaults, "Reset Defaults");
    lblResetDefaultsInfo0 =
        Named(new QLabel("Using this checkbox user can reset application settings."), "lblResetDefaultsInfo0");
    lblResetDefaultsInfo2 = Named(
        new QLabel("(Window, toolbars  position, recent files, default units, communication port)."),
        "lblResetDefaultsInfo2");
    chkboxResetDefaults =
        Named(new QCheckBox("&Reset to application default settings at next startup."), "chkboxResetDefaults");
    lblUnits = Named(new QLabel("Units (Del)"), "lblUnits");
    cmbUnits = Named(new QComboBox, "cmbUnits");
    cmbUnits->setMinimumWidth(200);
    lblUnits->setBuddy(cmbUnits);
    cmbUnits->installEventFilter(this);
    auto* reset = new QVBoxLayout(tabsheetResetDefaults);
    reset->addWidget(lblResetDefaultsInfo0);
    reset->addWidget(lblResetDefaultsInfo2);
    reset->addSpacing(8);
    reset->addWidget(chkboxResetDefaults);
    reset->addSpacing(16);
    reset->addWidget(lblUnits);
    reset->addWidget(cmbUnits, 0, Qt::AlignLeft);
    reset->addStretch();
    // The explanations wrap instead of widening the dialog.
    for (QLabel* info : {lblInfo1, lblInfo2, lblResetDefaultsInfo0, lblResetDefaultsInfo2}) info->setWordWrap(true);

    btnOk = Named(new QPushButton("&Ok"), "btnOk");
    btnOk->setDefault(true);
    btnCancel = Named(new QPushButton("&Cancel"), "btnCancel");
    btnCancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* form = new QVBoxLayout(this);
    form->addWidget(PageControl, 1);
    form->addLayout(buttons);

    if (App) {
        if (App->Mls) TranslateWidget(*App->Mls, this);
        ComPort = App->ComPort;
        BaudIndex = App->BaudIndex;
        std::copy(std::begin(App->DisplayFormats), std::end(App->DisplayFormats), DisplayFormats);
        Shortcuts.Assign(App->Shortcuts);
        FlexibleToolBars = App->FlexibleToolBarsSetting;
        LanguageIndex = App->LanguageIndex;
    }
    chkboxFloatToolBar->setChecked(FlexibleToolBars != 0);
    cmbboxComPort->clear();
    for (int i = 1; i <= 255; ++i) cmbboxComPort->addItem(QString::number(i));
    if (ComPort >= 1 && ComPort <= 255) {
        cmbboxComPort->setCurrentIndex(ComPort - 1);
    } else {
        cmbboxComPort->setEditable(true);  // to show the text of no item
        cmbboxComPort->setCurrentIndex(-1);
        cmbboxComPort->setEditText("?");
        cmbboxComPort->lineEdit()->setReadOnly(true);
    }
    cmbboxBaudRate->clear();
    for (int32_t rate : BaudRates) cmbboxBaudRate->addItem(QString::number(rate));
    if (BaudIndex >= 0 && BaudIndex <= 2) {
        cmbboxBaudRate->setCurrentIndex(BaudIndex);
    } else {
        cmbboxBaudRate->setEditable(true);
        cmbboxBaudRate->setCurrentIndex(-1);
        cmbboxBaudRate->setEditText("?");
        cmbboxBaudRate->lineEdit()->setReadOnly(true);
    }
    for (int i = 0; i < 4; ++i) edtShortcut[i]->setText(QFileName(Shortcuts.Items[i].Path));
    if (App && App->Mls)
        for (const auto& name : App->Mls->GetLanguageNames()) listboxLanguages->addItem(QStr(name));
    listboxLanguages->insertItem(0, QStr(App ? App->Text(Msg::EnglishDefault) : std::string("English (Default)")));
    if (LanguageIndex + 1 >= 0 && LanguageIndex + 1 < listboxLanguages->count())
        listboxLanguages->setCurrentRow(LanguageIndex + 1);
    else
        listboxLanguages->setCurrentRow(-1);
    chkboxResetDefaults->setChecked(App && App->ResetAtNextStart);
    if (App)
        for (const auto& unit : *App->UnitsList) cmbUnits->addItem(QStr(unit));
    cmbUnits->setCurrentIndex(cmbUnits->count() ? 0 : -1);
    cmbUnits->setEnabled(App && App->ExpertMode);

    // The texts are all in place: the dialog opens large enough for them.
    SetStartingSize(this, QSize(405, 407));

    // Handlers are attached after filling, so filling leaves no trace.
    connect(cmbboxComPort, &QComboBox::activated, this, &TfrmAppConfig::cmbboxComPortChange);
    connect(cmbboxBaudRate, &QComboBox::activated, this, &TfrmAppConfig::cmbboxBaudRateChange);
    connect(chkboxFloatToolBar, &QCheckBox::clicked, this, &TfrmAppConfig::chkboxFloatToolBarClick);
    connect(listboxLanguages, &QListWidget::itemClicked, this, &TfrmAppConfig::listboxLanguagesClick);
    // A choice made with the arrow keys counts as a click on the list.
    connect(listboxLanguages, &QListWidget::itemSelectionChanged, this, &TfrmAppConfig::listboxLanguagesClick);
    for (int i = 0; i < 4; ++i) {
        QLineEdit* edit = edtShortcut[i];
        connect(edit, &QLineEdit::textEdited, this, [this, edit] { edtShortcut1Change(edit); });
        QPushButton* browse = btnShortcutBrowse[i];
        connect(browse, &QPushButton::clicked, this, [this, browse] { btnShortcutBrowse1Click(browse); });
    }
    connect(chkboxResetDefaults, &QCheckBox::clicked, this, &TfrmAppConfig::chkboxResetDefaultsClick);
    connect(btnOk, &QPushButton::clicked, this, &TfrmAppConfig::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmAppConfig::btnCancelClick);
    ChangeMask = 0;
    Accepted = 0;
}

void TfrmAppConfig::cmbboxComPortChange() {
    if (cmbboxComPort->currentIndex() < 0) return;
    ComPort = cmbboxComPort->currentIndex() + 1;
    ChangeMask |= ChangedPort;
}

void TfrmAppConfig::cmbboxBaudRateChange() {
    if (cmbboxBaudRate->currentIndex() < 0) return;
    BaudIndex = cmbboxBaudRate->currentIndex();
    ChangeMask |= ChangedPort;
}

void TfrmAppConfig::chkboxFloatToolBarClick() {
    FlexibleToolBars = chkboxFloatToolBar->isChecked();
    ChangeMask |= ChangedToolBarMode;
}

void TfrmAppConfig::listboxLanguagesClick() {
    LanguageIndex = listboxLanguages->currentRow() - 1;
    ChangeMask |= ChangedLanguage;
}

void TfrmAppConfig::edtShortcut1Change(QObject* sender) {
    for (int i = 0; i < 4; ++i)
        if (sender == edtShortcut[i]) Shortcuts.Items[i].Path = FileNameStr(edtShortcut[i]->text());
    ChangeMask |= ChangedShortcuts;
}

void TfrmAppConfig::btnShortcutBrowse1Click(QObject* sender) {
    int row = -1;
    for (int i = 0; i < 4; ++i)
        if (sender == btnShortcutBrowse[i]) row = i;
    if (row < 0) return;
    TOpenDialogRequest request{this, "Program Download", ProgramFilter, Shortcuts.FilterIndex, "*.S"};
    std::string fileName;
    int filterIndex = Shortcuts.FilterIndex;
    if (!RunOpenDialog(request, fileName, filterIndex)) return;
    Shortcuts.FilterIndex = static_cast<uint8_t>(filterIndex);
    edtShortcut[row]->setText(QFileName(fileName));
    Shortcuts.Items[row].Path = fileName;
    ChangeMask |= ChangedShortcuts;
}

void TfrmAppConfig::chkboxResetDefaultsClick() { ChangeMask |= ChangedReset; }

bool TfrmAppConfig::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cmbUnits && event->type() == QEvent::KeyRelease)
        cmbUnitsKeyUp(static_cast<QKeyEvent*>(event)->key());
    return QDialog::eventFilter(watched, event);
}

void TfrmAppConfig::cmbUnitsKeyUp(int key) {
    if (key != Qt::Key_Delete) return;
    const int index = cmbUnits->currentIndex();
    if (index < 0) return;
    cmbUnits->removeItem(index);
    if (cmbUnits->count() == 0) {
        cmbUnits->hidePopup();
        return;
    }
    cmbUnits->setCurrentIndex(std::min(index, cmbUnits->count() - 1));
}

void TfrmAppConfig::btnOkClick() {
    Accepted = 1;
    if (App) {
        App->ComPort = ComPort;
        App->BaudIndex = BaudIndex;
        std::copy(std::begin(DisplayFormats), std::end(DisplayFormats), App->DisplayFormats);
        App->Shortcuts.Assign(Shortcuts);
        App->FlexibleToolBarsSetting = FlexibleToolBars;
        App->LanguageIndex = LanguageIndex;
        if (ChangeMask & ChangedToolBarMode) ShowMessageBox(this, App->Text(Msg::RestartForToolbarMode), TMsgIcon::Information);
        if (ChangeMask & ChangedLanguage) ShowMessageBox(this, App->Text(Msg::RestartForLanguage), TMsgIcon::Information);
        App->ResetAtNextStart = chkboxResetDefaults->isChecked();
        App->UnitsList->clear();
        for (int i = 0; i < cmbUnits->count(); ++i) App->UnitsList->push_back(CpStr(cmbUnits->itemText(i)));
        if ((ChangeMask & ChangedReset) && App->ResetAtNextStart)
            ShowMessageBox(this, App->Text(Msg::SettingsResetAtStartup), TMsgIcon::Information);
    }
    accept();
}

void TfrmAppConfig::btnCancelClick() {
    Accepted = 0;
    reject();
}

void TfrmAppConfig::done(int) {
    ChangeMask = Accepted ? ChangeMask : 0;
    QDialog::done(ChangeMask | 1);
}
