#include "CommModule.h"

#include "DebugForm.h"
#include "FormLayout.h"
#include "FormTranslation.h"
#include "QtTexts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The size the dialog was designed at.
constexpr QSize Designed(282, 121);

QLabel* NewLabel(const char* name, const char* text) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    return label;
}

QProgressBar* NewBar(const char* name) {
    auto* bar = new QProgressBar;
    bar->setObjectName(name);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setFixedHeight(14);
    return bar;
}

}  // namespace

TfrmCommModule::TfrmCommModule(QWidget* owner, TBaseComModule* link, TCommCmdList* list, int32_t* port,
                               int32_t baudIndex, _QXModelVersion* model, bool quiet)
    : QDialog(owner), Run(TCommSequencer::Create(link, list, port, baudIndex, model, quiet)) {
    setObjectName("TfrmCommModule");
    setWindowTitle("Communication");
    setModal(true);

    Label1 = NewLabel("Label1", "Connecting...");
    ProgressBar1 = NewBar("ProgressBar1");
    lcount = NewLabel("lcount", "000000");
    Label2 = NewLabel("Label2", "/");
    lsize = NewLabel("lsize", "000000");
    Label4 = NewLabel("Label4", "bytes copied.");
    ProgressBar2 = NewBar("ProgressBar2");
    Label3 = NewLabel("Label3", "0 / 0 operation(s) executed.");
    Bevel3 = new QFrame;
    Bevel3->setObjectName("Bevel3");
    Bevel3->setFrameShape(QFrame::HLine);
    Bevel3->setFrameShadow(QFrame::Sunken);
    btnCancel = new QPushButton("&Cancel");
    btnCancel->setObjectName("btnCancel");

    // A long command caption takes more lines rather than a window wider
    // than the screen.
    for (QLabel* line : {Label1, Label3}) line->setWordWrap(true);
    auto* bytes = new QHBoxLayout;
    bytes->setSpacing(4);
    for (QLabel* label : {lcount, Label2, lsize, Label4}) bytes->addWidget(label);
    bytes->addStretch();
    auto* run = new QVBoxLayout;
    run->setContentsMargins(8, 4, 8, 0);
    run->setSpacing(2);
    run->addWidget(Label1);
    run->addWidget(ProgressBar1);
    run->addLayout(bytes);
    run->addWidget(ProgressBar2);
    run->addWidget(Label3);
    auto* form = new QVBoxLayout(this);
    form->setContentsMargins(0, 0, 0, 4);
    form->setSpacing(2);
    form->addLayout(run);
    form->addStretch();
    form->addWidget(Bevel3);
    form->addWidget(btnCancel, 0, Qt::AlignHCenter);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmCommModule::btnCancelClick);
    tmrStartUp = new QTimer(this);
    tmrStartUp->setObjectName("tmrStartUp");
    tmrStartUp->setInterval(TCommSequencer::TickMs);
    tmrStartUp->setSingleShot(false);
    connect(tmrStartUp, &QTimer::timeout, this, &TfrmCommModule::tmrStartUpTimer);

    TranslateWidget(Run->Texts(), this);
    Run->Attach(this);
    Label3->setText(QStringFromCp1252(Run->InitialOperations()));
    SetStartingSize(this, Designed);
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
    // A text longer than the dialog makes it larger rather than being cut.
    GrowToLayout(this, Designed);
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
