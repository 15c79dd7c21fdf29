// The small modal dialog that edits one program shortcut's file path.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "DialogAnswers.h"

struct _AppInterface;
class QLineEdit;
class QPushButton;

class TfrmShortcutEdit : public QDialog {
    Q_OBJECT
public:
    TfrmShortcutEdit(QWidget* owner, const std::string& caption, const std::string& path, _AppInterface* app);

    // The edited path after OK; the unchanged path after Cancel or Esc.
    static std::string Execute(QWidget* owner, _AppInterface* app, const std::string& path, int left, int top,
                               const std::string& caption);

    QLineEdit* edtShortcutFile;
    QPushButton* btnBrowse;
    QPushButton* btnOk;
    QPushButton* btnCancel;
    std::string Result;

public slots:
    void btnOkClick();
    void btnCancelClick();
    void btnBrowseClick();

private:
    _AppInterface* App;
};
