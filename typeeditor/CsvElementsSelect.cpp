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
#include "Typedata.h"

namespace {
std::function<int32_t(TfrmCsvElementsSelect&)>& AnswerHook() {
    static std::function<int32_t(TfrmCsvElementsSelect&)> hook;
    return hook;
}
}  // namespace

TCsvElements ScanCsvElements(CSVFile& file) {
    TCsvElements found;
    file.Rewind();
    {
        TTypeData6 scratch;
        ResetTypeForCSVImport(scratch);
        uint32_t mask = 0;
        if (!ReadFromCSV(scratch, file, &mask)) found.Parameters = TCsvElements::TParameters::Damaged;
        else if (mask != 0) found.Parameters = TCsvElements::TParameters::Found;
    }
    file.Rewind();
    for (;;) {
        TTableData scratch;
        try {
            if (!scratch.ReadFromCSV(file)) break;
        } catch (...) {
            break;  // a damaged block ends the list
        }
        found.Tables.push_back(scratch.GetName());
    }
    return found;
}

void TfrmCsvElementsSelect::SetAnswerHook(std::function<int32_t(TfrmCsvElementsSelect&)> hook) {
    AnswerHook() = std::move(hook);
}

TfrmCsvElementsSelect::TfrmCsvElementsSelect(_AppInterface* app, CSVFile& file, uint8_t* parameters,
                                             std::vector<uint8_t>* tables, int32_t* tableCount)
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
    const TCsvElements found = ScanCsvElements(file);
    auto add = [this](const QString& text, bool ticked, bool enabled) {
        auto* item = new QListWidgetItem(text, chklistboxElements);
        Qt::ItemFlags flags = Qt::ItemIsUserCheckable | Qt::ItemIsSelectable;
        if (enabled) flags |= Qt::ItemIsEnabled;
        item->setFlags(flags);
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    };
    add("Parameters/Configuration", found.Parameters == TCsvElements::TParameters::Found,
        found.Parameters != TCsvElements::TParameters::Absent);
    for (const std::string& name : found.Tables) add("Table: " + QStr(name), true, true);
    chklistboxElements->setCurrentRow(found.Parameters == TCsvElements::TParameters::Absent && !found.Tables.empty());

    connect(chklistboxElements, &QListWidget::itemChanged, this, &TfrmCsvElementsSelect::chklistboxElementsClickCheck);
    connect(btnOk, &QPushButton::clicked, this, &TfrmCsvElementsSelect::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmCsvElementsSelect::btnCancelClick);
    chklistboxElementsClickCheck();
    chklistboxElements->setFocus();
    SetStartingSize(this, QSize(320, 260));
}

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
                                       std::vector<uint8_t>* tables, int32_t* tableCount) {
    TfrmCsvElementsSelect dialog(app, file, parameters, tables, tableCount);
    int32_t result = AnswerHook() ? AnswerHook()(dialog) : dialog.exec();
    if (result != 1) {
        // The title bar's close and Escape end the dialog as Cancel does:
        // nothing chosen.
        result = 2;
        *parameters = 0;
        tables->clear();
        *tableCount = 0;
    }
    return result;
}
