#include "LanguageSelect.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Appinterface.h"
#include "FormLayout.h"
#include "FormTranslation.h"
#include "Images.h"
#include "QtText.h"
#include "TypeObject.h"
#include "Typedata.h"

std::vector<std::string> LanguageSelectEntries(const TTypeObjectData& type) {
    std::vector<std::string> entries;
    const TTypeData6& def = type.GetTypeData();
    for (int32_t i = 0; i < def.GetLanguageCount(); ++i)
        if (const _LangItem* lang = def.GetLanguage(i))
            entries.push_back(std::to_string(i + 1) + ". " + lang->GetName());
    return entries;
}

TfrmLanguageSelect::TfrmLanguageSelect(_AppInterface* app, int32_t* language1, int32_t* language2,
                                       const TTypeObjectData& type)
    : QDialog(app ? app->MainForm : nullptr), App(app), Language1(language1), Language2(language2) {
    setObjectName("frmLanguageSelect");
    setWindowTitle("Language Select");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setFixedSize(48, 48);
    Image1->setAttribute(Qt::WA_TranslucentBackground);
    Image1->setPixmap(LoadIcon("preferences-desktop-locale").pixmap(48, 48));

    cmbboxLanguage1 = new QComboBox(this);
    cmbboxLanguage1->setObjectName("cmbboxLanguage1");
    cmbboxLanguage2 = new QComboBox(this);
    cmbboxLanguage2->setObjectName("cmbboxLanguage2");
    for (QComboBox* box : {cmbboxLanguage1, cmbboxLanguage2}) {
        box->setEditable(false);
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        box->setMinimumWidth(145);
    }
    lblLanguage1 = new QLabel("Language &1:", this);
    lblLanguage1->setObjectName("lblLanguage1");
    lblLanguage1->setBuddy(cmbboxLanguage1);
    lblLanguage2 = new QLabel("Language &2:", this);
    lblLanguage2->setObjectName("lblLanguage2");
    lblLanguage2->setBuddy(cmbboxLanguage2);

    btnOk = new QPushButton("&Ok", this);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    btnCancel = new QPushButton("&Cancel", this);
    btnCancel->setObjectName("btnCancel");
    connect(btnOk, &QPushButton::clicked, this, &TfrmLanguageSelect::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmLanguageSelect::btnCancelClick);

    auto* fields = new QGridLayout;
    fields->addWidget(lblLanguage1, 0, 0);
    fields->addWidget(cmbboxLanguage1, 0, 1);
    fields->addWidget(lblLanguage2, 1, 0);
    fields->addWidget(cmbboxLanguage2, 1, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addLayout(fields, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* form = new QVBoxLayout(this);
    form->addLayout(top);
    form->addStretch(1);
    form->addLayout(buttons);
    setTabOrder(cmbboxLanguage1, cmbboxLanguage2);
    setTabOrder(cmbboxLanguage2, btnOk);
    setTabOrder(btnOk, btnCancel);

    if (App && App->Mls) TranslateWidget(*App->Mls, this);

    cmbboxLanguage1->clear();
    cmbboxLanguage2->clear();
    for (const std::string& entry : LanguageSelectEntries(type)) {
        cmbboxLanguage1->addItem(QStr(entry));
        cmbboxLanguage2->addItem(QStr(entry));
    }
    if (cmbboxLanguage1->count() > 0) {
        cmbboxLanguage1->setCurrentIndex(0);
        cmbboxLanguage2->setCurrentIndex(0);
    }
    if (cmbboxLanguage2->count() > 1) cmbboxLanguage2->setCurrentIndex(1);
    connect(cmbboxLanguage1, &QComboBox::currentIndexChanged, this, &TfrmLanguageSelect::UpdateOk);
    connect(cmbboxLanguage2, &QComboBox::currentIndexChanged, this, &TfrmLanguageSelect::UpdateOk);
    UpdateOk();
    cmbboxLanguage1->setFocus();
    SetStartingSize(this, QSize(290, 130));
}

void TfrmLanguageSelect::UpdateOk() {
    btnOk->setEnabled(cmbboxLanguage1->currentIndex() >= 0 && cmbboxLanguage2->currentIndex() >= 0);
}

void TfrmLanguageSelect::btnOkClick() {
    if (!btnOk->isEnabled()) return;
    *Language1 = cmbboxLanguage1->currentIndex();
    *Language2 = cmbboxLanguage2->currentIndex();
    done(1);
}

void TfrmLanguageSelect::btnCancelClick() { done(2); }

int32_t TfrmLanguageSelect::Execute(_AppInterface* app, const TTypeObjectData& type, int32_t* language1,
                                    int32_t* language2) {
    if (type.GetTypeData().GetLanguageCount() == 1) {
        *language1 = 0;
        *language2 = 0;
        return 1;
    }
    TfrmLanguageSelect dialog(app, language1, language2, type);
    int32_t result = ExecModal(dialog);
    // The title bar's close and Escape end the dialog as Cancel does.
    if (result != 1) result = 2;
    return result;
}
