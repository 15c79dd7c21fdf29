#include "CsvElementsSelect.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "Appinterface.h"
#include "CSVFile.h"
#include "FormLayout.h"
#include "QtText.h"
#include "Tabledata.h"
#include "TypeCSV.h"
#include "TypeCSVCommands.h"
#include "TypeObject.h"
#include "Typedata.h"

TCsvElements ScanCsvElements(CSVFile& file, const uint8_t* displayFormats) {
    TCsvElements found;
    file.Rewind();
    auto definition = std::make_unique<TTypeObjectData>(displayFormats);
    ResetTypeForCSVImport(definition->GetTypeData());
    uint32_t mask = 0;
    if (!ReadFromCSV(definition->GetTypeData(), file, &mask)) {
        found.Parameters = TCsvElements::TParameters::Damaged;
    } else {
        if (mask != 0) found.Parameters = TCsvElements::TParameters::Found;
        found.Definition = std::move(definition);
    }
    file.Rewind();
    for (;;) {
        auto table = std::make_unique<TTableData>(displayFormats);
        table->SetDataSetCount(1);
        try {
            if (!table->ReadFromCSV(file)) break;
        } catch (...) {
            break;  // a damaged block ends the list
        }
        found.Tables.push_back(std::move(table));
    }
    return found;
}

TfrmCsvElementsSelect::TfrmCsvElementsSelect(_AppInterface* app, CSVFile& file, uint8_t* parameters,
                                             std::vector<uint8_t>* tables, int32_t* tableCount, TCsvElements* read)
    : QDialog(app ? app->MainForm : nullptr), App(app), Parameters(parameters), Tables(tables),
      TableCount(tableCount) {
    *Parameters = 0;
    Tables->clear();
    *TableCount = 0;

    setObjectName("frmCsvElementsSelect");
    setWindowTitle("Select Elements");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    lblElementsSelect = new QLabel("Select elements to import", this);
    lblElementsSelect->setObjectName("lblElementsSelect");
    chklistboxElements = new QListWidget(this);
    chklistboxElements->setObjectName("chklistboxElements");
    lblElementsSelect->setBuddy(chklistboxElements);
    btnOk = new QPushButton("&Ok", this);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    btnCancel = new QPushButton("&Cancel", this);
    btnCancel->setObjectName("btnCancel");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* form = new QVBoxLayout(this);
    form->addWidget(lblElementsSelect);
    form->addWidget(chklistboxElements, 1);
    form->addLayout(buttons);
    setTabOrder(chklistboxElements, btnOk);
    setTabOrder(btnOk, btnCancel);

    // What the file holds.
    TCsvElements found = ScanCsvElements(file, app ? app->DisplayFormats : nullptr);
    auto add = [this](const QString& text, bool ticked, bool enabled) {
        auto* item = new QListWidgetItem(text, chklistboxElements);
        Qt::ItemFlags flags = Qt::ItemIsUserCheckable | Qt::ItemIsSelectable;
        if (enabled) flags |= Qt::ItemIsEnabled;
        item->setFlags(flags);
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    };
    add("Parameters/Configuration", found.Parameters == TCsvElements::TParameters::Found,
        found.Parameters != TCsvElements::TParameters::Absent);
    for (const auto& table : found.Tables) add("Table: " + QStr(table->GetName()), true, true);
    chklistboxElements->setCurrentRow(found.Parameters == TCsvElements::TParameters::Absent && !found.Tables.empty());

    connect(chklistboxElements, &QListWidget::itemChanged, this, &TfrmCsvElementsSelect::chklistboxElementsClickCheck);
    connect(btnOk, &QPushButton::clicked, this, &TfrmCsvElementsSelect::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmCsvElementsSelect::btnCancelClick);
    chklistboxElementsClickCheck();
    chklistboxElements->setFocus();
    SetStartingSize(this, QSize(320, 260));
    if (read) *read = std::move(found);
}

TfrmCsvElementsSelect::~TfrmCsvElementsSelect() = default;

void TfrmCsvElementsSelect::chklistboxElementsClickCheck() {
    bool any = false;
    for (int i = 0; i < chklistboxElements->count() && !any; ++i)
        any = chklistboxElements->item(i)->checkState() == Qt::Checked;
    btnOk->setEnabled(any);
}

void TfrmCsvElementsSelect::btnOkClick() {
    if (!btnOk->isEnabled()) return;
    const int count = chklistboxElements->count();
    *Parameters = chklistboxElements->item(0)->checkState() == Qt::Checked ? 1 : 0;
    *TableCount = count - 1;
    Tables->assign(static_cast<size_t>(count - 1), 0);
    for (int i = 1; i < count; ++i)
        (*Tables)[static_cast<size_t>(i - 1)] = chklistboxElements->item(i)->checkState() == Qt::Checked ? 1 : 0;
    done(1);
}

void TfrmCsvElementsSelect::btnCancelClick() { done(2); }

int32_t TfrmCsvElementsSelect::Execute(_AppInterface* app, CSVFile& file, uint8_t* parameters,
                                       std::vector<uint8_t>* tables, int32_t* tableCount, TCsvElements* read) {
    TfrmCsvElementsSelect dialog(app, file, parameters, tables, tableCount, read);
    int32_t result = ExecModal(dialog);
    if (result != 1) {
        // The title bar's close and Escape end the dialog as Cancel does:
        // nothing chosen.
        result = 2;
        *parameters = 0;
        tables->clear();
        *tableCount = 0;
        if (read) *read = TCsvElements();
    }
    return result;
}
