// The focus arriving at a view of the type window, reported once per user
// action.
#pragma once

#include <Qt>
#include <functional>

// Reports a widget's arrival of the focus once per user action: a mouse
// click that also moves the current item reports only as that move.
class TEnterReport {
public:
    std::function<void()> OnEnter;
    void FocusIn(Qt::FocusReason reason);
    void Moved() { Pending = false; }
    void AfterPress();

private:
    bool Pending = false;
};
