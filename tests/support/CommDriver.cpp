#include "CommDriver.h"

#include "SimUnit.h"

#include <chrono>
#include <cstdlib>

CommDriver::Outcome CommDriver::Run(TBaseComModule& link, TCommCmdList& list, int32_t* port, int32_t baudIndex,
                                    _QXModelVersion* model, bool quiet) {
    auto run = TCommSequencer::Create(&link, &list, port, baudIndex, model, quiet);
    run->Attach(this);
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    for (;;) {
        // The timer: the first tick runs the first pass here.
        if (run->Tick()) break;
        if (OnTick && OnTick(*run)) run->Cancel();
        if (std::chrono::steady_clock::now() > limit) run->Cancel();
        std::unique_lock lock(Lock);
        Changed.wait_for(lock, std::chrono::milliseconds(TickMs), [this] { return !Posted.empty(); });
        while (!Posted.empty()) {
            Posted.pop_front();
            const int32_t answer = NextAnswer();
            lock.unlock();
            run->AnswerError(answer);
            lock.lock();
        }
    }
    Outcome outcome;
    outcome.Result = _CommResult::Unpack(run->Close());
    outcome.Ignored = run->ErrorIgnored();
    outcome.Log = run->GetLog();
    return outcome;
}

CommDriver::Outcome CommDriver::Run(TBaseComModule& link, TCommCmdList& list, bool quiet) {
    int32_t port = 1;
    _QXModelVersion model;
    return Run(link, list, &port, 2, &model, quiet);
}

std::vector<CommDriver::Question> CommDriver::Questions() const {
    std::lock_guard lock(Lock);
    return Asked;
}

std::vector<_CommProgressView> CommDriver::Progress() const {
    std::lock_guard lock(Lock);
    return Shown;
}

void CommDriver::ShowProgress(const _CommProgressView& progress) {
    std::lock_guard lock(Lock);
    Shown.push_back(progress);
}

int32_t CommDriver::NextAnswer() {
    if (Answers.empty()) return caAbort;
    const int32_t answer = Answers.front();
    Answers.pop_front();
    return answer;
}

int32_t CommDriver::AskError(const _CommErrorQuestion& question) {
    std::lock_guard lock(Lock);
    Asked.push_back({question, false});
    return NextAnswer();
}

void CommDriver::PostError(const _CommErrorQuestion& question) {
    std::lock_guard lock(Lock);
    Asked.push_back({question, true});
    Posted.push_back(question);
    Changed.notify_all();
}

void MapComPorts(const std::map<int, const SimUnit*>& units) {
    for (int port = 1; port <= 255; ++port) {
        const std::string variable = "QX318_COM" + std::to_string(port);
        auto unit = units.find(port);
        const std::string path = unit != units.end() ? unit->second->Path() : "/nonexistent/qx318-com" + std::to_string(port);
        setenv(variable.c_str(), path.c_str(), 1);
    }
}

void ClearComPorts() {
    for (int port = 1; port <= 255; ++port) unsetenv(("QX318_COM" + std::to_string(port)).c_str());
}
