// The modal "Communication" dialog that runs a command list, and
// RunCommands, which runs a list in it. The windows do not call it
// themselves: they go through RunOnUnit (frame/UnitRun.h), which passes the
// port, baud rate, link and model of the application's record. The dialog
// shows what the sequencer (TCommSequencer) hands it: progress as queued
// calls from the scheduler thread, the error dialog as a request that the
// sequencer waits for.
#pragma once

#include "Sequencer.h"

#include <QDialog>

#include <memory>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class TfrmCommModule : public QDialog, public TCommView {
    Q_OBJECT

public:
    TfrmCommModule(QWidget* owner, TBaseComModule* link, TCommCmdList* list, int32_t* port, int32_t baudIndex,
                   _QXModelVersion* model, bool quiet);
    ~TfrmCommModule() override;  // FormDestroy

    _CommResult GetResult() const { return _CommResult::Unpack(Result); }
    bool ErrorIgnored() const;
    std::string GetLog() const;

    QLabel* Label1;
    QProgressBar* ProgressBar1;
    QLabel* lcount;
    QLabel* Label2;
    QLabel* lsize;
    QLabel* Label4;
    QProgressBar* ProgressBar2;
    QLabel* Label3;
    QFrame* Bevel3;
    QPushButton* btnCancel;
    QTimer* tmrStartUp;

    void ShowProgress(const _CommProgressView& progress) override;
    int32_t AskError(const _CommErrorQuestion& question) override;
    void PostError(const _CommErrorQuestion& question) override;
    void ProcessMessages() override;

public slots:
    void tmrStartUpTimer();
    void btnCancelClick();
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::shared_ptr<TCommSequencer> Run;
    uint32_t Result = 0;
    bool Closed = false;
    void FormClose();
    void Apply(const _CommProgressView& progress);
};

// Runs the commands in the modal communication dialog. port and model are
// in/out: the port where the unit answered and the unit's model text (put
// the expected model in, or clear it to accept any unit). errorIgnored, when
// given, tells whether the user chose Ignore on any error of the run.
_CommResult RunCommands(QWidget* owner, TBaseComModule* link, TCommCmdList* list, int32_t* port, int32_t baudIndex,
                        _QXModelVersion* model, uint8_t quiet, bool* errorIgnored = nullptr);
