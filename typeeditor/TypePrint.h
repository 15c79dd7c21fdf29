// The type's printed report: generated half a second after the window opens,
// written to Report.rtf, shown in a read-only preview and printed from it.
// Custom narrows the report to chosen languages, parts and tables.
#pragma once

#include <QDialog>
#include <QPrinter>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "DialogAnswers.h"
#include "TypeItemsSelect.h"

class QProgressBar;
class QPushButton;
class QTextDocument;
class QTextEdit;
class QTimer;
class TTypeObjectData;
struct _AppInterface;

// Prints the document as one job on the printer, page by page. False when
// the printer cannot be started or a page or the end of the job fails.
bool PrintTextDocument(const QTextDocument& document, QPrinter& printer, const QString& jobTitle);

// The report window's print and printer settings dialogs, as a kind for
// TDialogAnswers: an answer set for it answers both (setup: the settings
// dialog; true: confirmed). The report window itself is answered as
// TfrmTypeObjectPrint.
struct TPrinterDialog {
    using TAnswer = std::function<bool(QPrinter&, bool setup)>;
};

class TfrmTypeObjectPrint : public QDialog {
    Q_OBJECT

public:
    TfrmTypeObjectPrint(_AppInterface* app, TTypeObjectData& type, const std::string& displayName, int32_t language);
    ~TfrmTypeObjectPrint() override;

    // 1 after Close or Escape, 2 when the window was closed in any other way
    // (printing, a missing document start, the title bar).
    static int32_t Execute(_AppInterface* app, TTypeObjectData& type, const std::string& displayName,
                           int32_t language);

    // Builds the report, writes it to Report.rtf and shows it.
    void GenerateReport();

    QTextEdit* RichEdit;
    QProgressBar* ProgressBar;
    QPushButton* btnCustom;
    QPushButton* btnPrintSettings;
    QPushButton* btnPrint;
    QPushButton* btnClose;
    QTimer* Timer;
    QPrinter Printer;

    // What the last generation wrote (the document's start included) and
    // where: beside the program, or in the settings folder when the
    // program's folder cannot be written.
    std::vector<std::string> Lines;
    std::string ReportPath;
    _TypeObjectItems Items;
    int32_t Language;

public slots:
    void TimerTimer();
    void btnPrintClick();
    void btnPrintSettingsClick();
    void btnCustomClick();
    void btnCloseClick();

protected:
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    _AppInterface* App;
    TTypeObjectData& Type;
    std::string DisplayName;

    void ProgressStep();
    void EnableButtons(bool on);
    bool WriteAndShow(const std::string& bytes);
};
