#include "QXMenuDialogs.h"

#include <QFileDialog>
#include <utility>

#include "Dialogs.h"
#include "QtText.h"

bool RunMenuSaveDialog(const TMenuSaveRequest& request, std::string& fileName) {
    if (const auto answer = TDialogAnswers::Get<TMenuSaveDialog>()) return answer(request, fileName);
    QFileDialog dialog(request.Owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(QtNameFilters(request.Filter));
    dialog.setDefaultSuffix(QString::fromStdString(request.DefaultExt));
    if (!request.FileName.empty()) dialog.selectFile(QFileName(request.FileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    fileName = FileNameStr(dialog.selectedFiles().front());
    return true;
}
