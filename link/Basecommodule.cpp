#include "Basecommodule.h"

#include <algorithm>

#include "FunctionCodes.h"

TBaseComModule::TBaseComModule(TMLSUnit* mls)
    : MLS(mls), Reply(std::make_unique<uint8_t[]>(256)), Monitor(std::make_unique<TTlgrmMonitor>()) {
    Monitor->SetTimeout(ReplyTimeoutMs);
    Item = Monitor->NewTelegram(QXWire::UnitAddress, QXWire::PcAddress, Data, 0, 0);
    Item->SetOnReceive([this](uint8_t* reply) { ReplyForwarder(reply); });
    Item->SetOnError([this](_TlgrHeader*) { ErrorForwarder(); });
}

TBaseComModule::~TBaseComModule() {
    Close();
    Monitor.reset();
}

bool TBaseComModule::Open(int32_t port, int32_t baudIndex) {
    if (IsOpen()) Close();
    if (baudIndex < 0 || baudIndex > 2) {
        std::lock_guard lock(HandlerLock);
        LastError = "no such baud rate index " + std::to_string(baudIndex);
        return false;
    }
    const std::string name = "\\\\.\\COM" + std::to_string(port);
    if (!Monitor->Open(name.c_str())) {
        std::lock_guard lock(HandlerLock);
        LastError = Monitor->OpenError();
        return false;
    }
    SerialLineState state;
    const bool read = Monitor->GetLineState(state);
    ComLineSettings(state, BaudRates[baudIndex]);
    if (!read || !Monitor->SetLineState(state)) {
        std::lock_guard lock(HandlerLock);
        LastError = Monitor->OpenError();
        Monitor->Close();
        return false;
    }
    return IsOpen();
}

void TBaseComModule::Close() {
    if (IsOpen()) Monitor->Close();
}

bool TBaseComModule::IsOpen() const { return Monitor->IsOpen(); }

std::string TBaseComModule::OpenError() const {
    std::lock_guard lock(HandlerLock);
    return LastError;
}

void TBaseComModule::Send() {
    if (IsOpen()) Monitor->Trigger(Item);
}

void TBaseComModule::SetOnReceive(THandler handler) {
    std::lock_guard lock(HandlerLock);
    OnReceive = handler ? std::make_shared<const THandler>(std::move(handler)) : nullptr;
}

void TBaseComModule::SetOnError(THandler handler) {
    std::lock_guard lock(HandlerLock);
    OnError = handler ? std::make_shared<const THandler>(std::move(handler)) : nullptr;
}

void TBaseComModule::ReplyForwarder(const uint8_t* reply) {
    std::copy(reply, reply + 256, Reply.get());
    std::shared_ptr<const THandler> handler;
    {
        std::lock_guard lock(HandlerLock);
        handler = OnReceive;
    }
    if (handler) (*handler)();
}

void TBaseComModule::ErrorForwarder() {
    std::shared_ptr<const THandler> handler;
    {
        std::lock_guard lock(HandlerLock);
        handler = OnError;
    }
    if (handler) (*handler)();
}
