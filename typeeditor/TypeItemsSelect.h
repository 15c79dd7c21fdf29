// The small modal dialog that chooses which parts of a type a report or a
// CSV export covers (the choice itself is _TypeObjectItems).
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "DialogAnswers.h"
#include "TypeObjectItems.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class TMLSUnit;
class TTypeObjectData;
struct _AppInterface;

// The dialog's entries, in the language the texts come from:
// "Language 1 (English)", ... and "Parameters", "Configuration",
// "Table1", "Table2 (Pumps)", ...
std::vector<std::string> TypeItemsLanguageEntries(const TMLSUnit& texts, const TTypeObjectData& type);
std::vector<std::string> TypeItemsEntries(const TMLSUnit& texts, const TTypeObjectData& type);

class TfrmTypeObjectItemsSelect : public QDialog {
    Q_OBJECT

public:
    TfrmTypeObjectItemsSelect(_AppInterface* app, const TTypeObjectData& type, _TypeObjectItems* items);

    // 1 after OK with the flags written back; 2 after Cancel or closing, the
    // flags as they were.
    static int32_t Execute(_AppInterface* app, const TTypeObjectData& type, _TypeObjectItems* items);

    QLabel* lblLangIdx;
    QListWidget* chkListBox1;
    QLabel* lblItems;
    QListWidget* CheckListBox;
    QPushButton* btnOk;
    QPushButton* btnCancel;

public slots:
    void btnOkClick();
    void btnCancelClick();

private:
    _AppInterface* App;
    const TTypeObjectData& Type;
    _TypeObjectItems* Items;
};
