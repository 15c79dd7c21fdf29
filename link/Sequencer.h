// The sequencer of a communication run: it puts the unit search in front of
// the caller's commands, runs them one after the other through the services,
// decides what follows an error and packs the result. It is what the
// communication dialog runs; the dialog itself only shows what the
// sequencer hands it (TCommView) and forwards its timer, Cancel and closing.
//
// Threads: the first pass runs on the GUI thread (Tick); every later pass
// runs on the scheduler thread, inside the link's handlers. A pass on the
// scheduler thread hands progress to the view and asks the error question
// through PostError, then waits (without holding the run) for AnswerError or
// for Close. Close, on the GUI thread, waits for a running pass to end,
// detaches the handlers and closes the port; nothing runs for the run after
// it. The link's handlers hold the sequencer alive while a call is running.
#pragma once

#include "Composites.h"
#include "Services.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

// The answer buttons of the error dialog and its answers.
enum : int32_t {
    cbOk = 0,
    cbOkCancel = 1,
    cbAbortRetryIgnore = 2,
    cbYesNoCancel = 3,
    cbYesNo = 4,
    cbRetryCancel = 5,
};
enum : int32_t {
    caOk = 1,
    caCancel = 2,
    caAbort = 3,
    caRetry = 4,
    caIgnore = 5,
    caYes = 6,
    caNo = 7,
};

struct _CommErrorQuestion {
    int32_t Buttons = cbOk;
    std::string Title;
    std::string Text;
    std::string Details;
};

// What the communication dialog shows after every pass.
struct _CommProgressView {
    std::string Caption;       // Label1
    int32_t CommandPosition = 0;  // ProgressBar1
    int32_t RunPosition = 0;      // ProgressBar2
    int64_t Count = 0;         // lcount
    int64_t Total = 0;         // lsize
    std::string Operations;    // Label3
};

class TCommView {
public:
    virtual ~TCommView() = default;
    // Any thread; a view hands it to its GUI thread.
    virtual void ShowProgress(const _CommProgressView& progress) = 0;
    // GUI thread, during the first pass: the modal error dialog's answer.
    virtual int32_t AskError(const _CommErrorQuestion& question) = 0;
    // Scheduler thread: show the error dialog on the GUI thread and give its
    // answer to AnswerError.
    virtual void PostError(const _CommErrorQuestion& question) = 0;
    // GUI thread, between two port openings of the first pass.
    virtual void ProcessMessages() {}
};

// The error text of an error code and the text of a refusal reason.
std::string CommErrorText(const TMLSUnit& texts, int32_t code, const _QXModelVersion& model);
std::string CommReasonText(const TMLSUnit& texts, int32_t reason);

class TCommSequencer : public std::enable_shared_from_this<TCommSequencer> {
public:
    static constexpr int TickMs = 100;

    // model: the model the caller expects (cleared for any unit); on return
    // the unit's. quiet: error 144 ends the run without a dialog.
    static std::shared_ptr<TCommSequencer> Create(TBaseComModule* link, TCommCmdList* list, int32_t* port,
                                                  int32_t baudIndex, _QXModelVersion* model, bool quiet);
    ~TCommSequencer();
    TCommSequencer(const TCommSequencer&) = delete;
    TCommSequencer& operator=(const TCommSequencer&) = delete;

    // Sets the link's handlers; the view must stay until Close.
    void Attach(TCommView* view);
    // The timer (GUI thread): the first tick puts the unit search in front
    // of the list and runs the first pass. True when the run is over and the
    // dialog is to close.
    bool Tick();
    // The Cancel button: the run ends as cancelled at the next tick.
    void Cancel();
    // Closing the dialog: the packed result (never 0). Idempotent.
    uint32_t Close();
    // The error dialog's answer to a question given to PostError.
    void AnswerError(int32_t answer);

    bool InGuiPass() const { return GuiPass; }
    _CommResult Result() const { return _CommResult::Unpack(ResultValue); }
    // Whether the user chose Ignore on an error during the run.
    bool ErrorIgnored() const { return Ignored; }
    std::string GetLog() const;
    // "0 / <count> operation(s) executed." as the dialog starts.
    std::string InitialOperations() const;
    const TMLSUnit& Texts() const { return CommTexts(Link->GetMLS()); }

private:
    TCommSequencer(TBaseComModule* link, TCommCmdList* list, int32_t* port, int32_t baudIndex,
                   _QXModelVersion* model, bool quiet);

    TBaseComModule* const Link;
    TCommCmdList* const List;
    int32_t* const Port;
    const int32_t BaudIndex;
    _QXModelVersion OwnModel;  // when the caller gives none
    _QXModelVersion* const Model;
    const _QXModelVersion Expected;  // kept for every search of the run
    const bool Quiet;

    mutable std::mutex Lock;  // the run: context, services, log, index
    std::condition_variable AnswerChanged;
    std::unique_lock<std::mutex>* PassLock = nullptr;
    int32_t Answer = 0;
    bool Answered = false;
    TCommView* View = nullptr;
    int32_t NextIndex = 0;
    bool FirstTick = true;
    std::string LogText;
    _CommTaskContext Context;

    std::atomic<uint32_t> ResultValue{0};
    std::atomic<bool> Closed{false};
    std::atomic<bool> GuiPass{false};
    std::atomic<bool> Ignored{false};
    std::atomic<int32_t> LastErrorCode{0};
    std::atomic<int32_t> LastErrorData{0};

    TctReadData ReadData;
    TctWriteData WriteData;
    TctWriteSRec WriteSRec;
    TctClearSRec ClearSRec;
    TctSRecStatus SRecStatus;
    TctReadBlockDescr ReadBlockDescr;
    TctDeleteBlock DeleteBlock;
    TctReadBlock ReadBlock;
    TctWriteBlock WriteBlock;
    TctDeleteType DeleteType;
    TctSearchQX SearchQX;
    TctReadMemConfig ReadMemConfig;
    TctReadBlockDescrList ReadBlockDescrList;
    TctReadMenuLangList ReadMenuLangList;
    TctWriteMenuLanguage WriteMenuLanguage;
    TctDeleteMenuLanguage DeleteMenuLanguage;
    TctWriteMenuConfig WriteMenuConfig;
    // Every task of the run by its service id: the plain services 1..13 and
    // the composites 129..133.
    struct _TaskEntry {
        int32_t Id;
        TCommTask* Task;
    };
    const std::array<_TaskEntry, 17> Tasks;

    void OnLink(bool failed);
    void Pass();
    void Sequence();
    bool Running() const { return Context.Service != 0 || Context.SuperService != 0; }
    void HandleReply();
    void ContinueService();
    void DriveComposite();
    void StartCommand(_CommCmd& command);
    // The task of a service id: a composite's when composite is true, else a
    // plain service's; none for an id of the other kind or of no service.
    TCommTask* Task(int32_t id, bool composite) const;
    int32_t Ask(int32_t buttons);
    void EndRun(uint8_t state);
    void ShowProgress();
    void AbortPass();
    const _CommCmd* CurrentCommand() const;
    template <typename... Args>
    std::string Text(uint32_t id, const Args&... args) const {
        return Texts().GetText(id, args...);
    }
};
