#include "Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>

#include "FileFilter.h"
#include "FormLayout.h"
#include "QtText.h"
#include "SystemCause.h"

// Kept here rather than as Qt's application display name, which the window
// system would append to the title of every window.
std::string& Title() {
    static std::string title = "QX318 Utility";
    return title;
}

std::string ApplicationTitle() { return Title(); }

void SetApplicationTitle(const std::string& title) { Title() = title; }

void ShowFailureMessage(QWidget* owner, const std::string& text) {
    const std::string cause = SystemCause();
    ClearSystemCause();
    ShowMessageBox(owner, MessageWithCause(text, cause), TMsgIcon::Stop);
}

QMessageBox::StandardButton ShowMessageBox(QWidget* owner, const std::string& text, TMsgIcon icon,
                                           TMsgButtons buttons, const std::string& caption) {
    TMessageRequest request{owner, text, caption.empty() ? ApplicationTitle() : caption, icon, buttons};
    if (const auto answer = TDialogAnswers::Get<TMessageBoxDialog>()) return answer(request);
    QMessageBox box(owner);
    box.setWindowTitle(QStr(request.Caption));
    box.setText(QStr(request.Text));
    box.setIcon(icon == TMsgIcon::Stop      ? QMessageBox::Critical
                : icon == TMsgIcon::Warning ? QMessageBox::Warning
                                            : QMessageBox::Information);
    switch (buttons) {
    case TMsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case TMsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case TMsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    KeepCaptionWhole(box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QStringList QtNameFilters(const std::string& filter) {
    QStringList result;
    for (const std::string& nameFilter : NameFilters(filter)) result << QStr(nameFilter);
    return result;
}

namespace {

// A file dialog with the request's title, filters and default extension;
// the filters as given to it.
QStringList SetUpFileDialog(QFileDialog& dialog, const TOpenDialogRequest& request) {
    const QStringList filters = QtNameFilters(request.Filter);
    dialog.setNameFilters(filters);
    if (request.FilterIndex >= 1 && request.FilterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.FilterIndex - 1]);
    // A list of extensions ("*.hex;*.h86"): a name typed without one gets the first.
    QString ext = QStr(request.DefaultExt).section(';', 0, 0).trimmed();
    ext.remove(QStringLiteral("*.")).remove('.');
    if (!ext.isEmpty()) dialog.setDefaultSuffix(ext);
    return filters;
}

}  // namespace

bool RunOpenDialog(const TOpenDialogRequest& request, std::string& fileName, int& filterIndex) {
    if (const auto answer = TDialogAnswers::Get<TOpenFileDialog>()) return answer(request, fileName, filterIndex);
    QFileDialog dialog(request.Owner, QStr(request.Title));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters = SetUpFileDialog(dialog, request);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    fileName = FileNameStr(dialog.selectedFiles().first());
    filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    if (filterIndex < 1) filterIndex = request.FilterIndex;
    return true;
}

bool RunSaveDialog(const TOpenDialogRequest& request, const std::string& startName, std::string& fileName) {
    if (const auto answer = TDialogAnswers::Get<TSaveFileDialog>()) return answer(request, startName, fileName);
    QFileDialog dialog(request.Owner, QStr(request.Title));
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    SetUpFileDialog(dialog, request);
    if (!startName.empty()) dialog.selectFile(QFileName(startName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    fileName = FileNameStr(dialog.selectedFiles().first());
    return true;
}

bool InputQuery(QWidget* owner, const std::string& caption, const std::string& prompt, std::string& value,
                int maxLength) {
    if (const auto answer = TDialogAnswers::Get<TInputQueryDialog>())
        return answer({owner, caption, prompt, value, maxLength}, value);
    QInputDialog dialog(owner);
    dialog.setWindowTitle(QStr(caption));
    dialog.setLabelText(QStr(prompt));
    dialog.setInputMode(QInputDialog::TextInput);
    QString preset = QStr(value);
    if (maxLength > 0) {
        preset.truncate(maxLength);
        // The dialog's own line edit; it exists once the mode is text.
        if (auto* line = dialog.findChild<QLineEdit*>()) line->setMaxLength(maxLength);
    }
    dialog.setTextValue(preset);
    if (dialog.exec() != QDialog::Accepted) return false;
    value = CpStr(dialog.textValue());
    return true;
}
