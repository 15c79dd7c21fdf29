// Runs a communication run without windows, the way the communication
// dialog does: the calling thread stands for the GUI thread (the timer tick,
// the first pass, the error dialogs), the link's scheduler thread does the
// rest. Error questions are answered from a script, in order (Abort when it
// runs out), and recorded with the progress the run showed.
#pragma once

#include "Sequencer.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class SimUnit;

class CommDriver : public TCommView {
public:
    struct Question {
        _CommErrorQuestion Asked;
        bool FromScheduler = false;  // handed over by the scheduler thread
    };
    struct Outcome {
        _CommResult Result;
        bool Ignored = false;
        std::string Log;
    };

    std::deque<int32_t> Answers;
    int TickMs = 10;
    // Called on every tick with the run; true cancels it.
    std::function<bool(TCommSequencer&)> OnTick;

    Outcome Run(TBaseComModule& link, TCommCmdList& list, int32_t* port, int32_t baudIndex, _QXModelVersion* model,
                bool quiet = false);
    // A run of the commands against the unit on port 1, the only port.
    Outcome Run(TBaseComModule& link, TCommCmdList& list, bool quiet = false);

    std::vector<Question> Questions() const;
    std::vector<_CommProgressView> Progress() const;

    void ShowProgress(const _CommProgressView& progress) override;
    int32_t AskError(const _CommErrorQuestion& question) override;
    void PostError(const _CommErrorQuestion& question) override;

private:
    mutable std::mutex Lock;
    std::condition_variable Changed;
    std::vector<Question> Asked;
    std::deque<_CommErrorQuestion> Posted;
    std::vector<_CommProgressView> Shown;
    int32_t NextAnswer();
};

// Points QX318_COM1..QX318_COM255 at missing devices, except the ports given
// (mapped onto the units' pseudo-terminals); ClearComPorts removes them all.
void MapComPorts(const std::map<int, const SimUnit*>& units);
void ClearComPorts();
