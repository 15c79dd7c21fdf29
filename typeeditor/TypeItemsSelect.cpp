#include "TypeItemsSelect.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "Appinterface.h"
#include "FormLayout.h"
#include "FormTranslation.h"
#include "MessageIds.h"
#include "Messages.h"
#include "QtText.h"
#include "Tabledata.h"
#include "TypeObject.h"
#include "Typedata.h"

namespace {

// The built-in English texts, for a dialog made without an application.
const TMLSUnit& BuiltInTexts() {
    static const TMLSUnit texts(BuiltInMessages, "");
    return texts;
}

void FillCheckList(QListWidget* list, const std::vector<std::string>& entries, const std::vector<uint8_t>& ticks) {
    list->clear();
    for (size_t i = 0; i < entries.size(); ++i) {
        auto* item = new QListWidgetItem(QStr(entries[i]), list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(i < ticks.size() && ticks[i] ? Qt::Checked : Qt::Unchecked);
    }
}

uint8_t Ticked(const QListWidget* list, int row) {
    const QListWidgetItem* item = list->item(row);
    return item && item->checkState() == Qt::Checked ? 1 : 0;
}
}  // namespace

std::vector<std::string> TypeItemsLanguageEntries(const TMLSUnit& texts, const TTypeObjectData& type) {
    std::vector<std::string> entries;
    const TTypeData6& def = type.GetTypeData();
    const std::string language = texts.GetText(Msg::CaptionLanguage);
    for (int32_t i = 0; i < def.GetLanguageCount(); ++i) {
        const _LangItem* lang = def.GetLanguage(i);
        entries.push_back(language + " " + std::to_string(i + 1) + " (" + (lang ? lang->GetName() : "") + ")");
    }
    return entries;
}

std::vector<std::string> TypeItemsEntries(const TMLSUnit& texts, const TTypeObjectData& type) {
    std::vector<std::string> entries{texts.GetText(Msg::CaptionParameters), texts.GetText(Msg::CaptionConfiguration)};
    const std::string table = texts.GetText(Msg::CaptionTable);
    for (int32_t k = 0; k < type.GetTableCount(); ++k) {
        std::string entry = table + std::to_string(k + 1);
        const TTableData* t = type.GetTable(k);
        if (t && !t->GetName().empty()) entry += " (" + t->GetName() + ")";
        entries.push_back(entry);
    }
    return entries;
}

TfrmTypeObjectItemsSelect::TfrmTypeObjectItemsSelect(_AppInterface* app, const TTypeObjectData& type,
                                                     _TypeObjectItems* items)
    : QDialog(app ? app->MainForm : nullptr), App(app), Type(type), Items(items) {
    setObjectName("frmTypeObjectItemsSelect");
    setWindowTitle("Type Items");
    setWindowFlags(Qt::Tool);

    chkListBox1 = new QListWidget(this);
    chkListBox1->setObjectName("chkListBox1");
    CheckListBox = new QListWidget(this);
    CheckListBox->setObjectName("CheckListBox");
    lblLangIdx = new QLabel("&Language:", this);
    lblLangIdx->setObjectName("lblLangIdx");
    lblLangIdx->setBuddy(chkListBox1);
    lblItems = new QLabel("&Items:", this);
    lblItems->setObjectName("lblItems");
    lblItems->setBuddy(CheckListBox);

    btnOk = new QPushButton("&Ok", this);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    btnCancel = new QPushButton("&Cancel", this);
    btnCancel->setObjectName("btnCancel");
    connect(btnOk, &QPushButton::clicked, this, &TfrmTypeObjectItemsSelect::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmTypeObjectItemsSelect::btnCancelClick);

    // The language list keeps its height; the items list takes what the
    // window grows by.
    chkListBox1->setMinimumHeight(60);
    chkListBox1->setMaximumHeight(90);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* form = new QVBoxLayout(this);
    form->addWidget(lblLangIdx);
    form->addWidget(chkListBox1);
    form->addWidget(lblItems);
    form->addWidget(CheckListBox, 1);
    form->addLayout(buttons);
    setTabOrder(chkListBox1, CheckListBox);
    setTabOrder(CheckListBox, btnOk);
    setTabOrder(btnOk, btnCancel);

    if (App && App->Mls) TranslateWidget(*App->Mls, this);
    const TMLSUnit& texts = App && App->Mls ? *App->Mls : BuiltInTexts();

    FillCheckList(chkListBox1, TypeItemsLanguageEntries(texts, type), Items->languages);
    chkListBox1->setEnabled(type.GetTypeData().GetLanguageCount() > 0);
    std::vector<uint8_t> ticks{Items->parameters, Items->configuration};
    ticks.insert(ticks.end(), Items->tables.begin(), Items->tables.end());
    FillCheckList(CheckListBox, TypeItemsEntries(texts, type), ticks);
    SetStartingSize(this, QSize(260, 300));
}

void TfrmTypeObjectItemsSelect::btnOkClick() {
    // The record was made for this type; a list longer than its arrays
    // writes only as far as they reach.
    for (int i = 0; i < chkListBox1->count() && size_t(i) < Items->languages.size(); ++i)
        Items->languages[size_t(i)] = Ticked(chkListBox1, i);
    Items->parameters = Ticked(CheckListBox, 0);
    Items->configuration = Ticked(CheckListBox, 1);
    for (int i = 0; i < CheckListBox->count() - 2 && size_t(i) < Items->tables.size(); ++i)
        Items->tables[size_t(i)] = Ticked(CheckListBox, i + 2);
    done(1);
}

void TfrmTypeObjectItemsSelect::btnCancelClick() { done(2); }

int32_t TfrmTypeObjectItemsSelect::Execute(_AppInterface* app, const TTypeObjectData& type, _TypeObjectItems* items) {
    TfrmTypeObjectItemsSelect dialog(app, type, items);
    int32_t result = ExecModal(dialog);
    // The title bar's close and Escape end the dialog as Cancel does.
    if (result != 1) result = 2;
    return result;
}
