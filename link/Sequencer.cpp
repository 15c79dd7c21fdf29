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
      WriteMenuConfig(&Context, &LogText, &ReadMemConfig, &WriteData) {
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

void TCommSequencer::HandleReply() {
    switch (Context.Service) {
    case csReadData: return ReadData.HandleReply();
    case csWriteData: return WriteData.HandleReply();
    case csWriteSRec: return WriteSRec.HandleReply();
    case csClearSRec: return ClearSRec.HandleReply();
    case csSRecStatus: return SRecStatus.HandleReply();
    case csReadBlockDescr: return ReadBlockDescr.HandleReply();
    case csDeleteBlock: return DeleteBlock.HandleReply();
    case csReadBlock: return ReadBlock.HandleReply();
    case csWriteBlock: return WriteBlock.HandleReply();
    case csDeleteType: return DeleteType.HandleReply();
    case csSearchQX: return SearchQX.HandleReply();
    case csReadMemConfig: return ReadMemConfig.HandleReply();
    default: LogText.append(Text(Msg::UnknownService));
    }
}

void TCommSequencer::ContinueService() {
    switch (Context.Service) {
    case csReadData: return ReadData.Continue();
    case csWriteData: return WriteData.Continue();
    case csWriteSRec: return WriteSRec.Continue();
    case csClearSRec: return ClearSRec.Continue();
    case csSRecStatus: return SRecStatus.Continue();
    case csReadBlockDescr: return ReadBlockDescr.Continue();
    case csDeleteBlock: return DeleteBlock.Continue();
    case csReadBlock: return ReadBlock.Continue();
    case csWriteBlock: return WriteBlock.Continue();
    case csDeleteType: return DeleteType.Continue();
    case csSearchQX: return SearchQX.Continue();
    case csReadMemConfig: return ReadMemConfig.Continue();
    default: Context.Service = 0;
    }
}

void TCommSequencer::DriveComposite() {
    // A plain service that finished without a request (nothing to write)
    // hands back at once; each step either sends or finishes, so this ends.
    while (Context.SuperService != 0 && Context.Service == 0) {
        switch (Context.SuperService) {
        case cssReadBlockDescrList: ReadBlockDescrList.Continue(); break;
        case cssReadMenuLangList: ReadMenuLangList.Continue(); break;
        case cssWriteMenuLanguage: WriteMenuLanguage.Continue(); break;
        case cssDeleteMenuLanguage: DeleteMenuLanguage.Continue(); break;
        case cssWriteMenuConfig: WriteMenuConfig.Continue(); break;
        default: Context.SuperService = 0;
        }
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
    if (command.SuperService >= cssReadBlockDescrList && command.SuperService <= cssWriteMenuConfig) {
        StartComposite(command);
        DriveComposite();
        return;
    }
    if (command.SuperService != 0) command.SuperService = 0;
    if (!StartService(command)) {
        // A command of no known service cannot be carried out: the run ends
        // with the error of missing input instead of reporting success.
        command.Service = 0;
        LogText.append(Text(Msg::UnknownService));
        Context.ErrorCode = ceNoInput;
        Context.ErrorData = 0;
        return;
    }
    if (command.Service == csSearchQX && Context.ErrorCode == ceUnitNotFound) Ask(cbOk);
}

bool TCommSequencer::StartComposite(_CommCmd& c) {
    switch (c.SuperService) {
    case cssReadBlockDescrList:
        ReadBlockDescrList.SetInputs(static_cast<TQXBlockMemList*>(c.Data));
        ReadBlockDescrList.Start();
        return true;
    case cssReadMenuLangList:
        ReadMenuLangList.SetInputs(c.Lines);
        ReadMenuLangList.Start();
        return true;
    case cssWriteMenuLanguage:
        WriteMenuLanguage.SetInputs(c.Param, static_cast<const uint8_t*>(c.Data), c.Length);
        WriteMenuLanguage.Start();
        return true;
    case cssDeleteMenuLanguage:
        DeleteMenuLanguage.SetInputs(c.Param);
        DeleteMenuLanguage.Start();
        return true;
    case cssWriteMenuConfig:
        WriteMenuConfig.SetInputs(static_cast<const uint8_t*>(c.Data), c.Length);
        WriteMenuConfig.Start();
        return true;
    }
    return false;
}

bool TCommSequencer::StartService(_CommCmd& c) {
    // A negative length names no buffer: the service refuses to start.
    uint8_t* buffer = c.Length < 0 ? nullptr : static_cast<uint8_t*>(c.Data);
    const auto length = static_cast<uint32_t>(c.Length < 0 ? 0 : c.Length);
    const auto address = static_cast<uint32_t>(c.Param);
    auto* block = static_cast<TQXBlockMem*>(c.Data);
    switch (c.Service) {
    case csReadData: ReadData.SetInputs(buffer, address, length); ReadData.Start(); return true;
    case csWriteData: WriteData.SetInputs(buffer, address, length); WriteData.Start(); return true;
    case csWriteSRec: WriteSRec.SetInputs(c.Lines, c.Name); WriteSRec.Start(); return true;
    case csClearSRec: ClearSRec.SetInputs(c.Param, c.Name); ClearSRec.Start(); return true;
    case csSRecStatus: SRecStatus.SetInputs(c.Param, static_cast<uint8_t*>(c.Data)); SRecStatus.Start(); return true;
    case csReadBlockDescr: ReadBlockDescr.SetInputs(block); ReadBlockDescr.Start(); return true;
    case csDeleteBlock: DeleteBlock.SetInputs(block); DeleteBlock.Start(); return true;
    case csReadBlock: ReadBlock.SetInputs(block); ReadBlock.Start(); return true;
    case csWriteBlock: WriteBlock.SetInputs(block); WriteBlock.Start(); return true;
    case csDeleteType: DeleteType.SetInputs(c.Name); DeleteType.Start(); return true;
    case csSearchQX:
        SearchQX.SetInputs(static_cast<int32_t*>(c.Data), c.Param, Model, Expected);
        SearchQX.Start();
        return true;
    case csReadMemConfig: ReadMemConfig.SetInputs(static_cast<uint8_t*>(c.Data)); ReadMemConfig.Start(); return true;
    }
    return false;
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
