#include "QXMenuDialogs.h"

#include <QFileDialog>
#include <utility>

#include "Dialogs.h"
#include "QtText.h"

namespace {
std::function<bool(const TMenuSaveRequest&, std::string&)>& SaveHook() {
    static std::function<bool(const TMenuSaveRequest&, std::string&)> hook;
    return hook;
}
}  // namespace

void SetMenuSaveDialogHook(std::function<bool(const TMenuSaveRequest&, std::string&)> hook) {
    SaveHook() = std::move(hook);
}

bool RunMenuSaveDialog(const TMenuSaveRequest& request, std::string& fileName) {
    if (SaveHook()) return SaveHook()(request, fileName);
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
