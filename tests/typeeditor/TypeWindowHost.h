// The main window with one type file opened from its command line, for the
// tests that drive a type window's File commands; it closes without
// questions.
#pragma once

#include <QApplication>
#include <memory>
#include <string>

#include "Main.h"
#include "TypeWindow.h"

struct TTypeWindowHost {
    std::unique_ptr<TfrmQX318MainForm> Main;

    TfrmTypeObject* Open(const std::string& path) {
        RegisterTypeEditor();
        Main = std::make_unique<TfrmQX318MainForm>(nullptr, path);
        Main->show();
        QApplication::processEvents();
        for (TMDICustomChild* c : Main->DocumentWindows())
            if (auto* t = qobject_cast<TfrmTypeObject*>(c)) return t;
        return nullptr;
    }
    void Close() {
        if (Main)
            for (TMDICustomChild* w : Main->DocumentWindows())
                if (auto* t = qobject_cast<TfrmTypeObject*>(w)) t->Modified = false;
        Main.reset();
    }
    ~TTypeWindowHost() { Close(); }
};
