#include "ShortcutEdit.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Appinterface.h"
#include "DialogAnswers.h"
#include "Dialogs.h"
#include "QtText.h"
#include "ScreenFit.h"

TfrmShortcutEdit::TfrmShortcutEdit(QWidget* owner, const std::string& caption, const std::string& path,
                                   _AppInterface* app)
    : QDialog(owner), Result(path), App(app) {
    setObjectName("frmShortcutEdit");
    setWindowTitle(QStr(caption));
    auto* layout = new QVBoxLayout(this);
    edtShortcutFile = new QLineEdit(QStr(path));
    edtShortcutFile->setObjectName("edtShortcutFile");
    edtShortcutFile->setMinimumWidth(395);
    layout->addWidget(edtShortcutFile);
    auto* buttons = new QHBoxLayout;
    btnBrowse = new QPushButton("&Browse...");
    btnBrowse->setObjectName("btnBrowse");
    btnOk = new QPushButton("&Ok");
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    btnCancel = new QPushButton("&Cancel");
    btnCancel->setObjectName("btnCancel");
    buttons->addWidget(btnBrowse);
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);
    connect(btnBrowse, &QPushButton::clicked, this, &TfrmShortcutEdit::btnBrowseClick);
    connect(btnOk, &QPushButton::clicked, this, &TfrmShortcutEdit::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmShortcutEdit::btnCancelClick);
    // Enter in the edit field takes the path; Esc rejects (QDialog).
    connect(edtShortcutFile, &QLineEdit::returnPressed, this, &TfrmShortcutEdit::btnOkClick);
}

void TfrmShortcutEdit::btnOkClick() {
    Result = CpStr(edtShortcutFile->text());
    done(1);
}

void TfrmShortcutEdit::btnCancelClick() { done(2); }

void TfrmShortcutEdit::btnBrowseClick() {
    TOpenDialogRequest request{this, "",
                               "S Record File (*.S)|*.S|Intel Hex File (*.hex;*.h86)|*.hex;*.h86|"
                               "S Record/Intel Hex File (*.S;*.hex;*.h86)|*.S;*.hex;*.h86|All files (*.*)|*.*",
                               App ? App->Shortcuts.FilterIndex : 4, "*.SRec"};
    std::string path;
    int filter = request.FilterIndex;
    if (!RunOpenDialog(request, path, filter)) return;
    if (App) App->Shortcuts.FilterIndex = static_cast<uint8_t>(filter);
    edtShortcutFile->setText(QStr(path));
}

std::string TfrmShortcutEdit::Execute(QWidget* owner, _AppInterface* app, const std::string& path, int left,
                                      int top, const std::string& caption) {
    TfrmShortcutEdit dialog(owner, caption, path, app);
    dialog.adjustSize();
    dialog.move(left, top);
    KeepInView(&dialog);  // near the mouse, but never past the screen's edge
    ExecModal(dialog);
    return dialog.Result;
}
