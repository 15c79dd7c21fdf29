// What the manager window tests share: the frame's fixture (program and
// settings folders, answered message boxes and file dialogs), an application
// record whose link reaches a simulated unit on COM1, and the error dialog
// answered from a script.
#pragma once

#include "../frame/FrameTest.h"

#include "Appinterface.h"
#include "CommDriver.h"
#include "DebugForm.h"
#include "Sequencer.h"
#include "SimUnit.h"
#include "SimUnitServices.h"

#include <QLabel>
#include <QPushButton>
#include <deque>
#include <memory>

using Bytes = std::vector<uint8_t>;

class ManagersFixture : public FrameFixture {
protected:
    SimUnit sim;
    SimUnitServices unit{sim};
    std::unique_ptr<_AppInterface> App;
    std::deque<int32_t> ErrorAnswers;  // Abort when it runs out
    int ErrorsAsked = 0;
    std::vector<std::string> ErrorTexts;  // the first line of each error dialog: the command's caption
    // The file the next save dialog chooses; empty: cancelled.
    std::string SaveAs;
    std::vector<std::string> SaveStarts;
    // Answers of Yes/No boxes, in order; Yes when it runs out.
    std::deque<QMessageBox::StandardButton> YesNoAnswers;

    void SetUp() override {
        FrameFixture::SetUp();
        TDialogAnswers::Set<TMessageBoxDialog>([this](const TMessageRequest& r) {
            Messages.push_back(r);
            if (r.Buttons == TMsgButtons::Ok) return QMessageBox::Ok;
            if (YesNoAnswers.empty()) return QMessageBox::Yes;
            const auto answer = YesNoAnswers.front();
            YesNoAnswers.pop_front();
            return answer;
        });
        TDialogAnswers::Set<TSaveFileDialog>([this](const TOpenDialogRequest& r, const std::string& start, std::string& name) {
            OpenDialogs.push_back(r);
            SaveStarts.push_back(start);
            if (SaveAs.empty()) return false;
            name = SaveAs;
            return true;
        });
        MapComPorts({{1, &sim}});
        App = std::make_unique<_AppInterface>();
        App->ComPort = 1;
        App->ComModule->GetMonitor()->SetTimeout(100);
        TDialogAnswers::Set<TfrmDebugForm>([this](TfrmDebugForm& form) {
            ++ErrorsAsked;
            ErrorTexts.push_back(form.lblInfo->text().section('\n', 0, 0).toStdString());
            if (ErrorAnswers.empty()) return int32_t{caAbort};
            const int32_t a = ErrorAnswers.front();
            ErrorAnswers.pop_front();
            return a;
        });
    }
    void TearDown() override {
        TDialogAnswers::Clear<TfrmDebugForm>();
        TDialogAnswers::Clear<TSaveFileDialog>();
        App.reset();
        ClearComPorts();
        FrameFixture::TearDown();
    }

    // The data reads (0xB2) or writes (0x32) after the unit search: each
    // request's 24-bit address and byte count.
    std::vector<std::pair<uint32_t, size_t>> DataRequests(uint8_t fnc, bool withResends = true) const {
        std::vector<std::pair<uint32_t, size_t>> found;
        for (const auto& r : withResends ? Sent() : SentOnce()) {
            if (r.Fnc != fnc || r.Data.size() < 3) continue;
            const uint32_t address = r.Data[0] | r.Data[1] << 8 | r.Data[2] << 16;
            found.push_back({address, fnc == 0xB2 && r.Data.size() == 4 ? r.Data[3] : r.Data.size() - 3});
        }
        return found;
    }

    // The requests after the unit search's, each once: a frame sent again
    // right after itself is the link's resend after a reply came too late,
    // which a busy machine may cause.
    std::vector<SimUnit::Request> SentOnce() const {
        std::vector<SimUnit::Request> once;
        for (auto& r : Sent())
            if (once.empty() || once.back().Frame != r.Frame) once.push_back(std::move(r));
        return once;
    }

    // The requests after the unit search's.
    std::vector<SimUnit::Request> Sent() const {
        std::vector<SimUnit::Request> rest;
        for (const auto& r : sim.Requests())
            if (r.Fnc != 0xC3) rest.push_back(r);
        return rest;
    }
};
