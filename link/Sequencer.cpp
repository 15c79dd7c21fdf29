#include "Sequencer.h"

std::string CommErrorText(const TMLSUnit& texts, int32_t code, const _QXModelVersion& model) {
    switch (code) {
    case ceNone: return texts.GetText(Msg::NoErrors);
    case ceUnexpectedReply: return texts.GetText(Msg::CommServiceError);
    case ceNoReply: return texts.GetText(Msg::CommTimeout);
    case ceNoInput: return texts.GetText(Msg::CannotAccessServiceMemory);
    case ceReadRefused: return texts.GetText(Msg::CannotReadData);
    case ceWriteRefused: return texts.GetText(Msg::CannotWriteData);
    case ceSRecRefused: return texts.GetText(Msg::CannotSendSRec);
    case ceClearRefused: return texts.GetText(Msg::CannotDeleteSRec);
    case ceBlockDescrRefused: return texts.GetText(Msg::CannotReadBlockDescr);
    case ceDeleteBlockRefused: return texts.GetText(Msg::CannotDeleteBlock);
    case ceReadBlockRefused: return texts.GetText(Msg::CannotReadBlock);
    case ceWriteBlockRefused:
    case ceBlockExists: return texts.GetText(Msg::CannotWriteBlock);
    case ceBlockFcs: return texts.GetText(Msg::WrongBlockFcs);
    case ceDeleteTypeRefused: return texts.GetText(Msg::CannotDeleteType);
    case ceUnitNotFound: return texts.GetText(Msg::QXNotFound);
    case ceModelDiffers: return texts.GetText(Msg::ModelDiffers, model.GetText());
    case ceLangSlot: return texts.GetText(Msg::NoMemoryForLanguage);
    case ceLangSize: return texts.GetText(Msg::MenuSizeDiffers);
    case ceLangDeleteSlot: return texts.GetText(Msg::MenuLanguageNotDeleted);
    default: return texts.GetText(Msg::UnknownError);
    }
}

std::string CommReasonText(const TMLSUnit& texts, int32_t reason) {
    const uint16_t id = reason < 0 ? 0 : RefusalReasonMessageId(static_cast<uint32_t>(reason));
    return id ? texts.GetText(id) : std::string();
}

std::shared_ptr<TCommSequencer> TCommSequencer::Create(TBaseComModule* link, TCommCmdList* list, int32_t* port,
                                                       int32_t baudIndex, _QXModelVersion* model, bool quiet) {
    return std::shared_ptr<TCommSequencer>(new TCommSequencer(link, list, port, baudIndex, model, quiet));
}

TCommSequencer::TCommSequencer(TBaseComModule* link, TCommCmdList* list, int32_t* port, int32_t baudIndex,
                               _QXModelVersion* model, bool quiet)
    : Link(link),
      List(list),
      Port(port),
      BaudIndex(baudIndex),
      Model(model ? model : &OwnModel),
      Expected(model ? *model : _QXModelVersion()),
      Quiet(quiet),
      ReadData(&Context, &LogText),
      WriteData(&Context, &LogText),
      WriteSRec(&Context, &LogText),
      ClearSRec(&Context, &LogText),
      SRecStatus(&Context, &LogText),
      ReadBlockDescr(&Context, &LogText),
      DeleteBlock(&Context, &LogText),
      ReadBlock(&Context, &LogText),
      WriteBlock(&Context, &LogText),
      DeleteType(&Context, &LogText),
      SearchQX(&Context, &LogText),
      ReadMemConfig(&Context, &LogText),
      ReadBlockDescrList(&Context, &LogText, &ReadBlockDescr),
      ReadMenuLangList(&Context, &LogText, &ReadMemConfig, &ReadData),
      WriteMenuLanguage(&Context, &LogText, &ReadMemConfig, &WriteData),
      DeleteMenuLanguage(&Context, &LogText, &ReadMemConfig, &WriteData),
      WriteMenuConfig(&Context, &LogText, &ReadMemConfig, &WriteData),
      Tasks{{{csReadData, &ReadData},
             {csWriteData, &WriteData},
             {csWriteSRec, &WriteSRec},
             {csClearSRec, &ClearSRec},
             {csSRecStatus, &SRecStatus},
             {csReadBlockDescr, &ReadBlockDescr},
             {csDeleteBlock, &DeleteBlock},
             {csReadBlock, &ReadBlock},
             {csWriteBlock, &WriteBlock},
             {csDeleteType, &DeleteType},
             {csSearchQX, &SearchQX},
             {csReadMemConfig, &ReadMemConfig},
             {cssReadBlockDescrList, &ReadBlockDescrList},
             {cssReadMenuLangList, &ReadMenuLangList},
             {cssWriteMenuLanguage, &WriteMenuLanguage},
             {cssDeleteMenuLanguage, &DeleteMenuLanguage},
             {cssWriteMenuConfig, &WriteMenuConfig}}} {
    SearchQX.SetRun(Model, Expected);
    Context.ComModule = link;
    Context.OnSend = [link] { link->Send(); };
    Context.ProcessMessages = [this] {
        if (GuiPass && View) View->ProcessMessages();
    };
    Context.RunEnded = [this] { return Closed || ResultValue != 0; };
}

TCommSequencer::~TCommSequencer() = default;

void TCommSequencer::Attach(TCommView* view) {
    {
        std::lock_guard lock(Lock);
        View = view;
    }
    std::weak_ptr<TCommSequencer> self = weak_from_this();
    Context.OnReply = [this] { HandleReply(); };
    Link->SetOnReceive([self] {
        if (auto run = self.lock()) run->OnLink(false);
    });
    Link->SetOnError([self] {
        if (auto run = self.lock()) run->OnLink(true);
    });
}

std::string TCommSequencer::InitialOperations() const {
    return "0 / " + std::to_string(List ? List->Count() : 0) + " " + Text(Msg::OperationsExecuted);
}

std::string TCommSequencer::GetLog() const {
    std::lock_guard lock(Lock);
    return LogText;
}

bool TCommSequencer::Tick() {
    if (FirstTick) {
        FirstTick = false;
        std::unique_lock lock(Lock);
        if (!Closed) {
            if (_CommCmd* search = List ? List->Insert(0) : nullptr) {
                search->SuperService = 0;
                search->Service = csSearchQX;
                search->Caption = Text(Msg::SearchingQX);
                search->Data = Port;
                search->Param = BaudIndex;
            }
            GuiPass = true;
            PassLock = &lock;
            if (!List) {
                Context.ErrorCode = ceNoInput;
                EndRun(_CommResult::Ended);
            }
            Pass();
            PassLock = nullptr;
            GuiPass = false;
        }
    }
    return ResultValue != 0;
}

void TCommSequencer::Cancel() {
    uint32_t none = 0;
    const _CommResult cancelled{_CommResult::Cancelled, static_cast<uint8_t>(LastErrorData.load()),
                                static_cast<uint16_t>(LastErrorCode.load())};
    ResultValue.compare_exchange_strong(none, cancelled.Pack());
}

uint32_t TCommSequencer::Close() {
    std::unique_lock lock(Lock);
    Closed = true;
    AnswerChanged.notify_all();
    uint32_t none = 0;
    const _CommResult cancelled{_CommResult::Cancelled, static_cast<uint8_t>(Context.ErrorData),
                                static_cast<uint16_t>(Context.ErrorCode)};
    ResultValue.compare_exchange_strong(none, cancelled.Pack());
    Context.SuperService = 0;
    Context.Service = 0;
    View = nullptr;
    Link->SetOnReceive(nullptr);
    Link->SetOnError(nullptr);
    if (Link->IsOpen()) Link->Close();
    return ResultValue;
}

void TCommSequencer::AnswerError(int32_t answer) {
    std::lock_guard lock(Lock);
    Answer = answer;
    Answered = true;
    AnswerChanged.notify_all();
}

void TCommSequencer::OnLink(bool failed) {
    std::unique_lock lock(Lock);
    if (Closed || ResultValue != 0) return;
    PassLock = &lock;
    try {
        if (failed) {
            // A failed request reaches the services as a reply with function
            // code 0 and no data.
            Link->GetReply()[2] = 0;
            Link->GetReply()[3] = 0;
        }
        HandleReply();
    } catch (...) {
        AbortPass();
    }
    Pass();
    PassLock = nullptr;
}

void TCommSequencer::AbortPass() {
    // Whatever a service could not handle ends the run: its memory cannot be
    // trusted any more.
    Context.SuperService = 0;
    Context.Service = 0;
    Context.ErrorCode = ceNoInput;
    Context.ErrorData = 0;
    EndRun(_CommResult::Ended);
}

void TCommSequencer::Pass() {
    if (Closed || ResultValue != 0) {
        ShowProgress();
        return;
    }
    try {
        Sequence();
    } catch (...) {
        AbortPass();
    }
    LastErrorCode = Context.ErrorCode;
    LastErrorData = Context.ErrorData;
    ShowProgress();
}

TCommTask* TCommSequencer::Task(int32_t id, bool composite) const {
    if ((id >= cssReadBlockDescrList) != composite) return nullptr;
    for (const _TaskEntry& entry : Tasks)
        if (entry.Id == id) return entry.Task;
    return nullptr;
}

void TCommSequencer::HandleReply() {
    if (TCommTask* service = Task(Context.Service, false)) return service->HandleReply();
    LogText.append(Text(Msg::UnknownService));
}

void TCommSequencer::ContinueService() {
    if (TCommTask* service = Task(Context.Service, false)) return service->Continue();
    Context.Service = 0;
}

void TCommSequencer::DriveComposite() {
    // A plain service that finished without a request (nothing to write)
    // hands back at once; each step either sends or finishes, so this ends.
    while (Context.SuperService != 0 && Context.Service == 0) {
        if (TCommTask* composite = Task(Context.SuperService, true))
            composite->Continue();
        else
            Context.SuperService = 0;
    }
}

void TCommSequencer::Sequence() {
    if (Context.Service != 0) ContinueService();
    DriveComposite();

    bool stopped = false;
    if (!Running() && Context.ErrorCode != 0) {
        const int32_t code = Context.ErrorCode;
        if ((code == ceBlockExists && Quiet) || code == ceModelDiffers) {
            stopped = true;
        } else {
            const int32_t answer = Ask(code == ceUnitNotFound ? cbRetryCancel : cbAbortRetryIgnore);
            if (Closed) return;
            if (answer == caRetry) {
                if (NextIndex > 0) --NextIndex;
            } else if (answer == caIgnore) {
                Ignored = true;
            } else {
                stopped = true;
            }
        }
    }

    // A command that is done without a request (nothing to transfer) hands
    // on to the next one at once; one that could not start ends the run.
    while (!stopped && !Running()) {
        _CommCmd* command = List->Get(NextIndex);
        if (!command) break;
        ++NextIndex;
        StartCommand(*command);
        if (Closed) return;
        if (Context.ErrorCode != 0) break;
    }

    if (!Running()) EndRun(_CommResult::Ended);
}

void TCommSequencer::StartCommand(_CommCmd& command) {
    if (TCommTask* composite = Task(command.SuperService, true)) {
        composite->SetCommand(command);
        composite->Start();
        DriveComposite();
        return;
    }
    if (command.SuperService != 0) command.SuperService = 0;
    TCommTask* service = Task(command.Service, false);
    if (!service) {
        // A command of no known service cannot be carried out: the run ends
        // with the error of missing input instead of reporting success.
        command.Service = 0;
        LogText.append(Text(Msg::UnknownService));
        Context.ErrorCode = ceNoInput;
        Context.ErrorData = 0;
        return;
    }
    service->SetCommand(command);
    service->Start();
    if (command.Service == csSearchQX && Context.ErrorCode == ceUnitNotFound) Ask(cbOk);
}

const _CommCmd* TCommSequencer::CurrentCommand() const { return List ? List->Get(NextIndex - 1) : nullptr; }

int32_t TCommSequencer::Ask(int32_t buttons) {
    _CommErrorQuestion question;
    question.Buttons = buttons;
    question.Title = Text(Msg::CommunicationError);
    const _CommCmd* command = CurrentCommand();
    question.Text = (command ? command->Caption : std::string()) + "\r\n" +
                    CommErrorText(Texts(), Context.ErrorCode, *Model) + "\r\n" +
                    CommReasonText(Texts(), Context.ErrorData);
    question.Details = LogText;
    // A run that is over or cancelled asks nothing more.
    if (!View || !PassLock || ResultValue != 0) return caCancel;
    if (GuiPass) {
        TCommView* view = View;
        PassLock->unlock();
        const int32_t answer = view->AskError(question);
        PassLock->lock();
        return Closed ? caCancel : answer;
    }
    Answered = false;
    View->PostError(question);
    AnswerChanged.wait(*PassLock, [this] { return Answered || Closed; });
    return Closed ? caCancel : Answer;
}

void TCommSequencer::EndRun(uint8_t state) {
    uint32_t none = 0;
    const _CommResult result{state, static_cast<uint8_t>(Context.ErrorData), static_cast<uint16_t>(Context.ErrorCode)};
    ResultValue.compare_exchange_strong(none, result.Pack());
}

void TCommSequencer::ShowProgress() {
    if (!View || Closed || !List) return;
    _CommProgressView p;
    const int32_t n = List->Count();
    const int32_t k = NextIndex;
    p.CommandPosition = Context.Progress.Position;
    if (n > 0) p.RunPosition = Context.Progress.Position / n + (100 * k - 100) / n;
    p.Count = Context.Progress.Count;
    p.Total = Context.Progress.Total;
    p.Operations = std::to_string(k - 1) + " / " + std::to_string(n) + " " + Text(Msg::OperationsExecuted);
    if (const _CommCmd* command = CurrentCommand()) p.Caption = command->Caption;
    View->ShowProgress(p);
}
