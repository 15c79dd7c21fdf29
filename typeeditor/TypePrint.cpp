#include "TypePrint.h"

#include <QAbstractTextDocumentLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

#include "AppFolders.h"
#include "Appinterface.h"
#include "Dialogs.h"
#include "FormLayout.h"
#include "FormTranslation.h"
#include "MessageIds.h"
#include "QtText.h"
#include "RtfReader.h"
#include "SafeFile.h"
#include "TextHelpers.h"
#include "TypeObject.h"
#include "TypeReport.h"
#include "SystemCause.h"

namespace {

// The report window's entry among the dialog placements.
constexpr int ReportPlacement = 2;

// The document's start is a few lines; anything this large is no such file.
constexpr uint64_t FormatFileLimit = 1 << 20;

}  // namespace

bool PrintTextDocument(const QTextDocument& document, QPrinter& printer, const QString& jobTitle) {
    printer.setDocName(jobTitle);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    // The pages are laid out for the printer's resolution and page.
    std::unique_ptr<QTextDocument> pages(document.clone());
    pages->documentLayout()->setPaintDevice(&printer);
    const QRectF body(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
    pages->setPageSize(body.size());
    // A margin of about 1.5 cm (in the layout's units of 1/96 inch) inside the
    // printer's own.
    QTextFrameFormat frame = pages->rootFrame()->frameFormat();
    frame.setMargin(1.5 / 2.54 * 96);
    pages->rootFrame()->setFrameFormat(frame);
    const int count = pages->pageCount();
    bool ok = true;
    for (int page = 0; page < count && ok; ++page) {
        if (page > 0 && !printer.newPage()) {
            ok = false;
            break;
        }
        painter.save();
        const QRectF view(0, page * body.height(), body.width(), body.height());
        painter.translate(0, -view.top());
        pages->drawContents(&painter, view);
        painter.restore();
    }
    if (!painter.end()) ok = false;
    return ok && printer.printerState() != QPrinter::Error;
}

TfrmTypeObjectPrint::TfrmTypeObjectPrint(_AppInterface* app, TTypeObjectData& type, const std::string& displayName,
                                         int32_t language)
    : QDialog(app ? app->MainForm : nullptr),
      Printer(QPrinter::HighResolution),
      Items(type),
      Language(language),
      App(app),
      Type(type),
      DisplayName(displayName) {
    setObjectName("frmTypeObjectPrint");
    setWindowTitle("Type Print");

    RichEdit = new QTextEdit(this);
    RichEdit->setObjectName("RichEdit");
    RichEdit->setReadOnly(true);
    RichEdit->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit->setFont(SystemRtfFonts().Fixed);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);

    btnCustom = new QPushButton("Cu&stom", this);
    btnCustom->setObjectName("btnCustom");
    btnPrintSettings = new QPushButton("Printer Settings", this);
    btnPrintSettings->setObjectName("btnPrintSettings");
    btnPrint = new QPushButton("&Print", this);
    btnPrint->setObjectName("btnPrint");
    btnPrint->setDefault(true);
    btnClose = new QPushButton("&Close", this);
    btnClose->setObjectName("btnClose");
    connect(btnCustom, &QPushButton::clicked, this, &TfrmTypeObjectPrint::btnCustomClick);
    connect(btnPrintSettings, &QPushButton::clicked, this, &TfrmTypeObjectPrint::btnPrintSettingsClick);
    connect(btnPrint, &QPushButton::clicked, this, &TfrmTypeObjectPrint::btnPrintClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmTypeObjectPrint::btnCloseClick);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(ProgressBar, 1);
    bottom->addWidget(btnCustom);
    bottom->addWidget(btnPrintSettings);
    bottom->addWidget(btnPrint);
    bottom->addWidget(btnClose);
    auto* form = new QVBoxLayout(this);
    form->addWidget(RichEdit, 1);
    form->addLayout(bottom);
    setTabOrder(RichEdit, btnCustom);
    setTabOrder(btnCustom, btnPrintSettings);
    setTabOrder(btnPrintSettings, btnPrint);
    setTabOrder(btnPrint, btnClose);

    if (App && App->Mls) TranslateWidget(*App->Mls, this);
    SetStartingSize(this, QSize(410, 400));
    if (App) {
        // The stored size never goes below what the window needs.
        RestoreWindowPlacement(this, App->DialogPlacements[ReportPlacement]);
        resize(size().expandedTo(minimumSize()));
    }

    Timer = new QTimer(this);
    Timer->setObjectName("Timer");
    Timer->setInterval(500);
    connect(Timer, &QTimer::timeout, this, &TfrmTypeObjectPrint::TimerTimer);
    Timer->start();
}

TfrmTypeObjectPrint::~TfrmTypeObjectPrint() = default;

int32_t TfrmTypeObjectPrint::Execute(_AppInterface* app, TTypeObjectData& type, const std::string& displayName,
                                     int32_t language) {
    TfrmTypeObjectPrint window(app, type, displayName, language);
    const int32_t result = ExecModal(window);
    return result == 1 ? 1 : 2;
}

void TfrmTypeObjectPrint::TimerTimer() {
    Timer->stop();
    GenerateReport();
}

void TfrmTypeObjectPrint::ProgressStep() {
    int value = ProgressBar->value() + 15;
    if (value >= ProgressBar->maximum()) value = ProgressBar->minimum();
    ProgressBar->setValue(value);
    ProgressBar->repaint();
}

void TfrmTypeObjectPrint::EnableButtons(bool on) {
    for (QPushButton* b : {btnCustom, btnPrintSettings, btnPrint, btnClose}) b->setEnabled(on);
}

void TfrmTypeObjectPrint::GenerateReport() {
    Lines.clear();
    RichEdit->clear();
    if (!Type.GetTypeData().GetLanguage(Language)) {
        ShowMessageBox(this, App->Text(Msg::ReportNoLanguage), TMsgIcon::Stop);
        return;
    }
    const std::string formatPath = ProgramFolderFile("ReportFormat.dat");
    ClearSystemCause();
    const std::optional<std::string> start = ReadWholeFile(formatPath, FormatFileLimit);
    if (!start) {
        ShowFailureMessage(this, App->Text(Msg::ReportFileNotFound, formatPath));
        done(2);
        return;
    }
    EnableButtons(false);
    Lines = SplitTextLines(*start);
    AppendTypeReport(Lines, *App->Mls, Type, Items, Language, DisplayName, [this] { ProgressStep(); });
    WriteAndShow(JoinCrLfLines(Lines));
    EnableButtons(true);
    ProgressBar->setValue(ProgressBar->minimum());
}

// Report.rtf goes beside the program; where that folder cannot be written,
// into the settings folder. The preview shows what the file holds.
bool TfrmTypeObjectPrint::WriteAndShow(const std::string& bytes) {
    ReportPath = ProgramFolderFile("Report.rtf");
    bool written = ReplaceFileContents(ReportPath, bytes);
    if (!written && !SettingsFolder().empty()) {
        CreateFolders(SettingsFolder());
        ReportPath = SettingsFolder() + "Report.rtf";
        // The message names this file; the cause is the one it gave.
        ClearSystemCause();
        written = ReplaceFileContents(ReportPath, bytes);
    }
    std::optional<std::string> back;
    if (written) {
        ClearSystemCause();
        back = ReadWholeFile(ReportPath);
    }
    auto* document = new QTextDocument(RichEdit);
    if (!back || !ReadRtfSubset(*back, *document, SystemRtfFonts())) {
        delete document;
        ShowFailureMessage(this, App->Text(Msg::ReportTempFileFailed, ReportPath));
        return false;
    }
    // The editor deletes the document it showed before: it was its child.
    RichEdit->setDocument(document);
    return true;
}

void TfrmTypeObjectPrint::btnPrintClick() {
    const auto answer = TDialogAnswers::Get<TPrinterDialog>();
    const bool confirmed = answer ? answer(Printer, false) : QPrintDialog(&Printer, this).exec() == QDialog::Accepted;
    if (confirmed && !PrintTextDocument(*RichEdit->document(), Printer, "Report")) {
        const QString where = Printer.outputFileName().isEmpty() ? Printer.printerName() : Printer.outputFileName();
        ShowMessageBox(this, "The report cannot be printed:\r\n" + CpStr(where), TMsgIcon::Stop);
        return;
    }
    done(2);
}

void TfrmTypeObjectPrint::btnPrintSettingsClick() {
    if (const auto answer = TDialogAnswers::Get<TPrinterDialog>()) answer(Printer, true);
    else QPageSetupDialog(&Printer, this).exec();
}

void TfrmTypeObjectPrint::btnCustomClick() {
    if (TfrmTypeObjectItemsSelect::Execute(App, Type, &Items) != 1) return;
    Language = FirstSelectedLanguage(Items);
    GenerateReport();
}

void TfrmTypeObjectPrint::btnCloseClick() { done(1); }

void TfrmTypeObjectPrint::done(int result) {
    Timer->stop();
    if (App) SaveWindowPlacement(App->DialogPlacements[ReportPlacement], this);
    QDialog::done(result);
}

void TfrmTypeObjectPrint::keyPressEvent(QKeyEvent* event) {
    // Escape is the Close button's key.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (btnClose->isEnabled()) btnCloseClick();
        return;
    }
    QDialog::keyPressEvent(event);
}
