// The dialog that lists what a type's CSV file holds before it is imported
// (the parameters and configuration as one element, each table block as
// one) and lets the user choose which of them to import.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DialogAnswers.h"

class CSVFile;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
struct _AppInterface;
class TTableData;
class TTypeObjectData;

// What a scan of a CSV file found and read, without any widget.
struct TCsvElements {
    enum class TParameters {
        Found,    // the type rows read and something was in them: ticked
        Damaged,  // the type rows did not read: offered, unticked
        Absent,   // nothing of a type in the file: not offered
    };
    TParameters Parameters = TParameters::Absent;
    // The type's rows as read into a definition of their own (reset as an
    // import starts it); null when they did not read.
    std::unique_ptr<TTypeObjectData> Definition;
    // The table blocks that read, in file order, up to the first one that
    // did not; each with one data set.
    std::vector<std::unique_ptr<TTableData>> Tables;
};

// Scans the file from its start with the type and the table readers; the
// definition and the tables read get the display formats given. The file
// is left where the last table read stopped.
TCsvElements ScanCsvElements(CSVFile& file, const uint8_t* displayFormats);

class TfrmCsvElementsSelect : public QDialog {
    Q_OBJECT

public:
    // Scans the file and lists what it holds; the three results start as
    // "nothing chosen". What the scan read goes to read when it is given.
    TfrmCsvElementsSelect(_AppInterface* app, CSVFile& file, uint8_t* parameters, std::vector<uint8_t>* tables,
                          int32_t* tableCount, TCsvElements* read = nullptr);
    ~TfrmCsvElementsSelect() override;

    // 1 (OK) with the choice written to the three results: the parameters
    // flag, one flag per table block found in the file, and their number;
    // 2 (Cancel or closing) with them meaning nothing chosen. After OK,
    // read (when given) holds what the scan read, so that the import need
    // not read the file again; after Cancel it is empty.
    static int32_t Execute(_AppInterface* app, CSVFile& file, uint8_t* parameters, std::vector<uint8_t>* tables,
                           int32_t* tableCount, TCsvElements* read = nullptr);

    QLabel* lblElementsSelect;
    QListWidget* chklistboxElements;
    QPushButton* btnOk;
    QPushButton* btnCancel;

public slots:
    void chklistboxElementsClickCheck();
    void btnOkClick();
    void btnCancelClick();

private:
    _AppInterface* App;
    uint8_t* Parameters;
    std::vector<uint8_t>* Tables;
    int32_t* TableCount;
};
