#include "CommModule.h"

#include "DebugForm.h"
#include "FormTranslation.h"
#include "QtTexts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>

namespace {

QLabel* NewLabel(QWidget* parent, const char* name, const char* text, int x, int y, int w) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(x, y, w, 16);
    return label;
}

QProgressBar* NewBar(QWidget* parent, const char* name, int y) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(name);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setGeometry(8, y, 266, 14);
    return bar;
}

}  // namespace

TfrmCommModule::TfrmCommModule(QWidget* owner, TBaseComModule* link, TCommCmdList* list, int32_t* port,
                               int32_t baudIndex, _QXModelVersion* model, bool quiet)
    : QDialog(owner), Run(TCommSequencer::Create(link, list, port, baudIndex, model, quiet)) {
    setObjectName("TfrmCommModule");
    setWindowTitle("Communication");
    setModal(true);
    setFixedSize(282, 121);

    Label1 = NewLabel(this, "Label1", "Connecting...", 8, 6, 266);
    ProgressBar1 = NewBar(this, "ProgressBar1", 24);
    lcount = NewLabel(this, "lcount", "000000", 8, 40, 48);
    Label2 = NewLabel(this, "Label2", "/", 58, 40, 8);
    lsize = NewLabel(this, "lsize", "000000", 68, 40, 48);
    Label4 = NewLabel(this, "Label4", "bytes copied.", 118, 40, 156);
    ProgressBar2 = NewBar(this, "ProgressBar2", 58);
    Label3 = NewLabel(this, "Label3", "0 / 0 operation(s) executed.", 8, 74, 266);
    Bevel3 = new QFrame(this);
    Bevel3->setObjectName("Bevel3");
    Bevel3->setFrameShape(QFrame::HLine);
    Bevel3->setGeometry(0, 92, 282, 2);
    btnCancel = new QPushButton("&Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(103, 96, 75, 22);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmCommModule::btnCancelClick);
    tmrStartUp = new QTimer(this);
    tmrStartUp->setObjectName("tmrStartUp");
    tmrStartUp->setInterval(TCommSequencer::TickMs);
    tmrStartUp->setSingleShot(false);
    connect(tmrStartUp, &QTimer::timeout, this, &TfrmCommModule::tmrStartUpTimer);

    TranslateWidget(Run->Texts(), this);
    Run->Attach(this);
    Label3->setText(QStringFromCp1252(Run->InitialOperations()));
    tmrStartUp->start();
}

TfrmCommModule::~TfrmCommModule() {
    // A dialog destroyed without closing still detaches the run.
    if (!Closed) FormClose();
}

bool TfrmCommModule::ErrorIgnored() const { return Run->ErrorIgnored(); }
std::string TfrmCommModule::GetLog() const { return Run->GetLog(); }

void TfrmCommModule::tmrStartUpTimer() {
    tmrStartUp->stop();
    if (Run->Tick()) {
        FormClose();
        done(static_cast<int>(Result));
        return;
    }
    tmrStartUp->start();
}

void TfrmCommModule::btnCancelClick() { Run->Cancel(); }

void TfrmCommModule::FormClose() {
    if (Closed) return;
    Closed = true;
    tmrStartUp->stop();
    Result = Run->Close();
}

void TfrmCommModule::closeEvent(QCloseEvent* event) {
    // While the first pass runs on this thread the run cannot be closed
    // under it: it is cancelled and the next tick closes the dialog.
    if (Run->InGuiPass()) {
        Run->Cancel();
        event->ignore();
        return;
    }
    FormClose();
    QDialog::closeEvent(event);
    setResult(static_cast<int>(Result));
}

void TfrmCommModule::reject() {
    if (Run->InGuiPass()) {
        Run->Cancel();
        return;
    }
    FormClose();
    done(static_cast<int>(Result));
}

void TfrmCommModule::Apply(const _CommProgressView& p) {
    Label1->setText(QStringFromCp1252(p.Caption));
    ProgressBar1->setValue(p.CommandPosition);
    ProgressBar2->setValue(p.RunPosition);
    lcount->setText(QString::number(p.Count));
    lsize->setText(QString::number(p.Total));
    Label3->setText(QStringFromCp1252(p.Operations));
}

void TfrmCommModule::ShowProgress(const _CommProgressView& progress) {
    if (QThread::currentThread() == thread()) return Apply(progress);
    QMetaObject::invokeMethod(this, [this, progress] { Apply(progress); }, Qt::QueuedConnection);
}

int32_t TfrmCommModule::AskError(const _CommErrorQuestion& q) {
    return TfrmDebugForm::Show(this, Run->Texts(), q.Buttons, q.Title, q.Text, q.Details);
}

void TfrmCommModule::PostError(const _CommErrorQuestion& q) {
    // The run lives as long as the dialog holds it; an answer that comes
    // after the dialog closed reaches a run that asks nothing any more.
    std::shared_ptr<TCommSequencer> run = Run;
    QMetaObject::invokeMethod(
        this,
        [this, run, q] {
            if (!Closed) run->AnswerError(AskError(q));
        },
        Qt::QueuedConnection);
}

void TfrmCommModule::ProcessMessages() { QCoreApplication::processEvents(); }

_CommResult RunCommands(QWidget* owner, TBaseComModule* link, TCommCmdList* list, int32_t* port, int32_t baudIndex,
                        _QXModelVersion* model, uint8_t quiet, bool* errorIgnored) {
    _CommResult result;
    {
        TfrmCommModule dialog(owner, link, list, port, baudIndex, model, quiet != 0);
        dialog.exec();
        result = dialog.GetResult();
        if (errorIgnored) *errorIgnored = dialog.ErrorIgnored();
    }
    return result;
}
