// The one seam through which tests answer modal dialogs: while a test has set
// an answer for a kind of dialog, the dialog is handed to that answer instead
// of running its modal loop.
//
// A kind is the dialog's own class (answered with its modal result, as
// exec() would give it), or a small tag struct for a dialog that is not a
// class of ours (message box, file dialogs, input box); such a tag names the
// answer's form as its member type TAnswer.
#pragma once

#include <functional>
#include <mutex>
#include <type_traits>
#include <utility>

template <class Kind, class = void>
struct TDialogAnswerOf {
    using Type = std::function<int(Kind&)>;
};

template <class Kind>
struct TDialogAnswerOf<Kind, std::void_t<typename Kind::TAnswer>> {
    using Type = typename Kind::TAnswer;
};

template <class Kind>
using TDialogAnswer = typename TDialogAnswerOf<Kind>::Type;

// The answers tests set, one for each kind; dialogs of worker threads (the
// communication error dialog) read them too, so they are kept under a lock.
class TDialogAnswers {
public:
    template <class Kind>
    static void Set(TDialogAnswer<Kind> answer) {
        std::lock_guard lock(Lock());
        Slot<Kind>() = std::move(answer);
    }

    template <class Kind>
    static void Clear() {
        Set<Kind>({});
    }

    // A copy of the answer set for the kind; empty when none is.
    template <class Kind>
    static TDialogAnswer<Kind> Get() {
        std::lock_guard lock(Lock());
        return Slot<Kind>();
    }

private:
    static std::mutex& Lock() {
        static std::mutex lock;
        return lock;
    }
    template <class Kind>
    static TDialogAnswer<Kind>& Slot() {
        static TDialogAnswer<Kind> answer;
        return answer;
    }
};

// Runs a modal dialog of ours: the test's answer when one is set, otherwise
// its modal loop. The result is the modal result.
template <class Dialog>
int ExecModal(Dialog& dialog) {
    if (const auto answer = TDialogAnswers::Get<Dialog>()) return answer(dialog);
    return dialog.exec();
}

// For tests: sets the answer for a kind of dialog while it lives, and clears
// it again at the end.
template <class Kind>
class TDialogAnswerGuard {
public:
    explicit TDialogAnswerGuard(TDialogAnswer<Kind> answer) { TDialogAnswers::Set<Kind>(std::move(answer)); }
    ~TDialogAnswerGuard() { TDialogAnswers::Clear<Kind>(); }
    TDialogAnswerGuard(const TDialogAnswerGuard&) = delete;
    TDialogAnswerGuard& operator=(const TDialogAnswerGuard&) = delete;
};
