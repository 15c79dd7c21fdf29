// The small modal dialog that asks which two of a type's languages go into
// the unit's images (language 1 and language 2) before the type is sent.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "DialogAnswers.h"

class QComboBox;
class QLabel;
class QPushButton;
struct _AppInterface;
class TTypeObjectData;

// The entries of both lists: "1. English", "2. Deutsch", ... in the type's
// order.
std::vector<std::string> LanguageSelectEntries(const TTypeObjectData& type);

class TfrmLanguageSelect : public QDialog {
    Q_OBJECT

public:
    TfrmLanguageSelect(_AppInterface* app, int32_t* language1, int32_t* language2, const TTypeObjectData& type);

    // 1 (OK) with both indexes set, or 2 (Cancel) with them untouched. A type
    // with exactly one language needs no choice: both 0, 1, no window.
    static int32_t Execute(_AppInterface* app, const TTypeObjectData& type, int32_t* language1, int32_t* language2);

    QLabel* Image1;
    QLabel* lblLanguage1;
    QComboBox* cmbboxLanguage1;
    QLabel* lblLanguage2;
    QComboBox* cmbboxLanguage2;
    QPushButton* btnOk;
    QPushButton* btnCancel;

public slots:
    void btnOkClick();
    void btnCancelClick();

private:
    _AppInterface* App;
    int32_t* Language1;
    int32_t* Language2;
    void UpdateOk();
};
