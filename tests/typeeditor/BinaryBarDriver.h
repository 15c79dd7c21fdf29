// Drives the modal binary edit bar from a test: waits for the bar to show,
// hands it to the test's steps and makes sure it closes.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>

#include "BinaryEditBar.h"

// From construction on, calls steps with the bar as soon as one is shown
// (with null when none showed within waitMs); a bar the steps leave
// open is closed afterwards. Destruction waits until the steps have run.
class TBarDriver {
public:
    explicit TBarDriver(std::function<void(TfrmBinaryEditBar*)> steps, int waitMs = 2000)
        : State(std::make_shared<TState>()) {
        State->Steps = std::move(steps);
        State->WaitMs = waitMs;
        State->Clock.start();
        State->Timer.setInterval(5);
        std::weak_ptr<TState> weak = State;
        QObject::connect(&State->Timer, &QTimer::timeout, [weak] {
            auto state = weak.lock();
            if (!state || state->Done) return;
            auto* bar = qobject_cast<TfrmBinaryEditBar*>(QApplication::activeModalWidget());
            if (!bar && state->Clock.elapsed() < state->WaitMs) return;
            state->Timer.stop();
            state->Done = true;
            state->Seen = bar != nullptr;
            state->Steps(bar);
            if (bar && bar->isVisible()) bar->done(QDialog::Accepted);
        });
        State->Timer.start();
    }
    ~TBarDriver() {
        while (!State->Done) QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    TBarDriver(const TBarDriver&) = delete;
    TBarDriver& operator=(const TBarDriver&) = delete;
    bool Seen() const { return State->Seen; }

private:
    struct TState {
        std::function<void(TfrmBinaryEditBar*)> Steps;
        QElapsedTimer Clock;
        QTimer Timer;
        int WaitMs = 2000;
        bool Done = false, Seen = false;
    };
    std::shared_ptr<TState> State;
};
