// The menu synchronisation dialog and the menu configuration, through the
// real windows against the simulated unit on a pseudo-terminal.
#include "MenuTest.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "CommDriver.h"
#include "DebugForm.h"
#include "FunctionCodes.h"
#include "MessageIds.h"
#include "QXMenuSync.h"
#include "Sequencer.h"
#include "SimUnit.h"
#include "SimUnitServices.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Box = QMessageBox::StandardButton;

// The test menu's language image: 32-byte header, 5 names of 18 bytes,
// InfNot texts in 20 + 5 bytes.
constexpr uint32_t BodySize = 5 * 18 + 20 + 5;
constexpr uint32_t AreaStart = 0x8000;
constexpr uint32_t SlotStride = BodySize + 32;
constexpr uint32_t MenuConfigAddress = 0xC000;

// A used slot's header: the name, then a value and its complement.
Bytes Header(const std::string& name) {
    Bytes h(32, 0);
    std::copy(name.begin(), name.end(), h.begin());
    h[16] = 0x34;
    h[17] = 0x12;
    h[18] = 0xCB;
    h[19] = 0xED;
    return h;
}

class MenuUnit : public MenuFixture {
protected:
    SimUnit sim;
    std::unique_ptr<SimUnitServices> unit = std::make_unique<SimUnitServices>(sim);
    std::vector<std::string> ErrorsAsked;
    std::deque<int32_t> ErrorAnswers;

    void SetUp() override {
        MenuFixture::SetUp();
        unit->SetMemConfig({AreaStart, 0x800, static_cast<uint16_t>(BodySize), MenuConfigAddress});
        MapComPorts({{1, &sim}});
        TDialogAnswers::Set<TfrmDebugForm>([this](TfrmDebugForm& form) {
            ErrorsAsked.push_back(form.windowTitle().toStdString());
            if (ErrorAnswers.empty()) return int32_t(caAbort);
            const int32_t a = ErrorAnswers.front();
            ErrorAnswers.pop_front();
            return a;
        });
    }
    void TearDown() override {
        TDialogAnswers::Clear<TfrmDebugForm>();
        MenuFixture::TearDown();
        ClearComPorts();
    }
    void PutLanguage(int slot, const std::string& name) { unit->SetMemory(AreaStart + slot * SlotStride, Header(name)); }
    Bytes Slot(int slot, size_t count = SlotStride) const { return unit->GetMemory(AreaStart + slot * SlotStride, count); }

    // A dialog over a menu window's menu whose languages get these names,
    // with the unit read as on opening.
    std::unique_ptr<TfrmQXMenuSync> Dialog(TfrmQXMenu* w, const std::vector<std::string>& names) {
        while (w->EditedMenu->GetLanguageCount() > 0) w->EditedMenu->DeleteLanguage(0);
        for (const auto& n : names) {
            w->EditedMenu->AddLanguage();
            w->EditedMenu->SetLanguageName(w->EditedMenu->GetLanguageCount() - 1, n);
        }
        auto d = std::make_unique<TfrmQXMenuSync>(&MainWindow().App, w->EditedMenu.get(), w);
        d->FormShow();
        return d;
    }
    static std::vector<std::string> Entries(QListWidget* list) {
        std::vector<std::string> out;
        for (int i = 0; i < list->count(); ++i) out.push_back(list->item(i)->text().toStdString());
        return out;
    }
    // The slots whose headers were written.
    std::vector<uint32_t> WrittenSlots() const {
        std::vector<uint32_t> found;
        for (const auto& r : sim.Requests())
            if (r.Fnc == QXWire::Request::WriteData && r.Data.size() >= 3) {
                const uint32_t address = r.Data[0] | r.Data[1] << 8 | r.Data[2] << 16;  // little-endian
                if (address >= AreaStart && (address - AreaStart) % SlotStride == 0)
                    found.push_back((address - AreaStart) / SlotStride);
            }
        return found;
    }
};

}  // namespace

TEST_F(MenuUnit, TheUnitIsReadOnceTheDialogShows) {
    PutLanguage(0, "English");
    PutLanguage(2, "Deutsch");
    TfrmQXMenu* w = Open();
    TfrmQXMenuSync dialog(&MainWindow().App, w->EditedMenu.get(), w);
    EXPECT_EQ(Entries(dialog.listboxPCContent), std::vector<std::string>{"<Language1>"});
    EXPECT_FALSE(dialog.listboxQXContent->isEnabled());
    EXPECT_FALSE(dialog.btnPCToQX->isEnabled());
    EXPECT_FALSE(dialog.btnDelete->isEnabled());
    EXPECT_EQ(sim.RequestCount(), 0u);
    dialog.show();
    for (int i = 0; i < 100 && !dialog.Connected; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(dialog.Connected);
    EXPECT_EQ(Entries(dialog.listboxQXContent), (std::vector<std::string>{"English", "Deutsch"}));
    EXPECT_EQ(dialog.UnitLanguages().GetObject(1), 2);
    EXPECT_TRUE(dialog.listboxQXContent->isEnabled());
    EXPECT_EQ(dialog.listboxQXContent->currentRow(), 0);
    EXPECT_TRUE(dialog.btnPCToQX->isEnabled());
    EXPECT_TRUE(dialog.btnDelete->isEnabled());
    dialog.hide();
}

TEST_F(MenuUnit, ALanguageGoesIntoTheRightSlot) {
    struct Case {
        const char* what;
        std::string pcName;
        std::vector<std::pair<int, std::string>> unitHas;
        std::vector<Box> answers;
        std::vector<uint32_t> written;  // slots written
        bool asked;                     // message 20101
    };
    const Case cases[] = {
        {"same name: overwrite", "English", {{0, "English"}, {1, "Deutsch"}}, {Box::Yes}, {0}, true},
        {"same name: not overwritten", "English", {{0, "English"}}, {Box::No}, {}, true},
        {"a gap", "Francais", {{0, "English"}, {2, "Deutsch"}}, {}, {1}, false},
        {"no gap", "Francais", {{0, "English"}, {1, "Deutsch"}}, {}, {2}, false},
        {"empty unit", "Francais", {}, {}, {0}, false},
        {"first slot free", "Francais", {{1, "English"}}, {}, {0}, false},
        {"names are case-sensitive", "english", {{0, "English"}}, {}, {1}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int s = 0; s < 13; ++s) unit->SetMemory(AreaStart + s * SlotStride, Bytes(SlotStride, 0xFF));
        for (const auto& [slot, name] : c.unitHas) PutLanguage(slot, name);
        Messages.clear();
        TfrmQXMenu* w = Open();
        auto d = Dialog(w, {"Other", c.pcName});
        ASSERT_TRUE(d->Connected);
        sim.ClearRecords();
        d->listboxPCContent->setCurrentRow(1);
        Answers.assign(c.answers.begin(), c.answers.end());
        d->btnPCToQX->click();
        EXPECT_EQ(WrittenSlots(), c.written);
        EXPECT_EQ(Messages.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(Messages[0].Text, "QX already contains " + c.pcName + " language.\r\nOverwrite?");
        }
        for (uint32_t slot : c.written) {
            uint32_t size = 0;
            auto image = w->EditedMenu->BuildLanguageImage(1, size);
            ASSERT_EQ(size, SlotStride);
            EXPECT_EQ(Slot(static_cast<int>(slot)), Bytes(image.get(), image.get() + size));
            // The header starts with the name, NUL-padded.
            Bytes name(c.pcName.begin(), c.pcName.end());
            name.resize(16, 0);
            EXPECT_EQ(Slot(static_cast<int>(slot), 16), name);
        }
        // The list is read again after a write.
        if (!c.written.empty()) {
            EXPECT_NE(std::find(d->UnitLanguages().begin(), d->UnitLanguages().end(), c.pcName),
                      d->UnitLanguages().end());
        }
        EXPECT_FALSE(d->NamesChanged);
        d.reset();
        CloseWindow(w);
    }
}

TEST_F(MenuUnit, TheUnitReceivesTheLanguageImageByteForByte) {
    TfrmQXMenu* w = Open((ProgramDir / "DefaultMenu.mnu").string());
    TfrmQXMenuSync d(&MainWindow().App, w->EditedMenu.get(), w);
    d.FormShow();
    ASSERT_TRUE(d.Connected);
    ASSERT_EQ(d.listboxPCContent->currentRow(), 0);
    d.btnPCToQX->click();
    // Header: the name, the FCS over the body and its complement, zeros;
    // then 18 bytes per item name and the InfNot texts in 20 and 5 bytes.
    auto field = [](const std::string& text, size_t size) {
        Bytes b(text.begin(), text.end());
        b.resize(size, 0);
        return b;
    };
    Bytes expected = field("English", 16);
    for (uint8_t b : {0x92, 0x65, 0x6D, 0x9A}) expected.push_back(b);
    expected.resize(32, 0);
    for (const char* name : {"Main", "Settings", "Contrast", "Volume", "Info"}) {
        const Bytes f = field(name, 18);
        expected.insert(expected.end(), f.begin(), f.end());
    }
    for (const Bytes& f : {field("Door open", 20), field("Low", 5)}) expected.insert(expected.end(), f.begin(), f.end());
    ASSERT_EQ(expected.size(), SlotStride);
    EXPECT_EQ(Slot(0), expected);
    EXPECT_EQ(Entries(d.listboxQXContent), std::vector<std::string>{"English"});
}

TEST_F(MenuUnit, ANameGivenInTheDialogIsCutAndNeverWritesADuplicate) {
    PutLanguage(0, "English");
    TfrmQXMenu* w = Open();
    auto d = Dialog(w, {"  "});
    ASSERT_TRUE(d->Connected);
    // Cancelled: nothing written, nothing named.
    sim.ClearRecords();
    d->btnPCToQXClick();
    EXPECT_TRUE(WrittenSlots().empty());
    EXPECT_FALSE(d->NamesChanged);
    // A blank name is asked for again; a long one is cut to its field.
    Typed = {" ", "Francophone1"};
    d->btnPCToQXClick();
    ASSERT_EQ(Inputs.size(), 3u);
    EXPECT_EQ(Inputs[1].Caption, "Language");
    EXPECT_EQ(Inputs[1].Prompt, "Input Language 1 name:");
    EXPECT_EQ(w->EditedMenu->GetLanguageName(0), "Francophon");
    EXPECT_EQ(Entries(d->listboxPCContent), std::vector<std::string>{"Francophon"});
    EXPECT_EQ(WrittenSlots(), std::vector<uint32_t>{1});
    EXPECT_EQ(Entries(d->listboxQXContent), (std::vector<std::string>{"English", "Francophon"}));
    EXPECT_TRUE(d->NamesChanged);
    // Written again, the cut name is found in the unit: overwrite, no new slot.
    sim.ClearRecords();
    Answers = {Box::Yes};
    d->btnPCToQXClick();
    EXPECT_EQ(Messages.back().Text, "QX already contains Francophon language.\r\nOverwrite?");
    EXPECT_EQ(WrittenSlots(), std::vector<uint32_t>{1});
}

TEST_F(MenuUnit, ANameGivenInTheDialogMarksTheMenuWindowModified) {
    TfrmQXMenu* w = Open();
    EXPECT_FALSE(w->Modified);
    Typed = {"Svenska"};
    // The dialog runs modally: it is worked from a timer once the unit was read.
    QTimer poll;
    int steps = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* d = qobject_cast<TfrmQXMenuSync*>(QApplication::activeModalWidget());
        if (!d || !d->Connected || steps++) return;
        d->btnPCToQXClick();
        d->btnClose->click();
    });
    poll.start(20);
    w->actQXSynchronization->trigger();
    poll.stop();
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(LanguageList(w), std::vector<std::string>{"1. Svenska"});
    EXPECT_TRUE(w->Modified);
    EXPECT_EQ(Slot(0, 8), (Bytes{'S', 'v', 'e', 'n', 's', 'k', 'a', 0}));
}

TEST_F(MenuUnit, DeletingALanguageClearsItsSlotHeader) {
    PutLanguage(0, "English");
    PutLanguage(2, "Deutsch");
    TfrmQXMenu* w = Open();
    auto d = Dialog(w, {"English"});
    d->listboxQXContent->setCurrentRow(1);
    Key(d->listboxQXContent, Qt::Key_Delete);
    EXPECT_EQ(Slot(2, 32), Bytes(32, 0));
    EXPECT_EQ(Entries(d->listboxQXContent), std::vector<std::string>{"English"});
    EXPECT_TRUE(Messages.empty());
}

TEST_F(MenuUnit, WithoutAUnitTheListStaysEmptyAndGrey) {
    for (int32_t answer : {int32_t(caAbort), int32_t(caIgnore)}) {
        SCOPED_TRACE(answer);
        MapComPorts({});
        ErrorAnswers = {answer};
        ErrorsAsked.clear();
        TfrmQXMenu* w = Open();
        auto d = Dialog(w, {"English"});
        EXPECT_FALSE(ErrorsAsked.empty());
        EXPECT_FALSE(d->Connected);
        EXPECT_EQ(d->listboxQXContent->count(), 0);
        EXPECT_FALSE(d->listboxQXContent->isEnabled());
        EXPECT_FALSE(d->btnPCToQX->isEnabled());
        EXPECT_FALSE(d->btnDelete->isEnabled());
        d.reset();
        CloseWindow(w);
    }
}

TEST_F(MenuUnit, DragAndDropFromThePCListOnly) {
    TfrmQXMenu* w = Open();
    auto d = Dialog(w, {"English"});
    ASSERT_TRUE(d->Connected);
    EXPECT_FALSE(d->listboxQXContentDragOver(d->listboxPCContent));
    d->listboxPCContentStartDrag();
    EXPECT_TRUE(d->listboxQXContentDragOver(d->listboxPCContent));
    EXPECT_FALSE(d->listboxQXContentDragOver(d->listboxQXContent));
    EXPECT_FALSE(d->listboxQXContentDragOver(w->listboxLanguages));
    sim.ClearRecords();
    d->listboxQXContentDragDrop(w->listboxLanguages);
    EXPECT_TRUE(WrittenSlots().empty());
    d->listboxQXContentDragDrop(d->listboxPCContent);
    EXPECT_EQ(WrittenSlots(), std::vector<uint32_t>{0});
    d->listboxPCContentEndDrag();
    EXPECT_FALSE(d->listboxQXContentDragOver(d->listboxPCContent));
}

TEST_F(MenuUnit, FreeSlotOfAListInSlotOrder) {
    struct Case {
        std::vector<int32_t> taken;
        int32_t free;
    };
    const Case cases[] = {{{}, 0}, {{0}, 1}, {{1}, 0}, {{0, 1, 2}, 3}, {{0, 2, 3}, 1}, {{0, 1, 3}, 2}};
    for (const Case& c : cases) {
        TTextLines lines;
        for (int32_t s : c.taken) lines.AddObject("L" + std::to_string(s), s);
        EXPECT_EQ(TfrmQXMenuSync::FreeSlot(lines), c.free) << ::testing::PrintToString(c.taken);
    }
}

TEST_F(MenuUnit, SendMenuConfigurationWritesOneByteAnItem) {
    TfrmQXMenu* w = Open();
    unit->SetMemory(MenuConfigAddress, Bytes(8, 0x55));
    w->actMenuConfig->trigger();
    // Main, Settings, Contrast visible, Volume hidden, Info visible; nothing beyond.
    EXPECT_EQ(unit->GetMemory(MenuConfigAddress, 8), (Bytes{1, 1, 1, 0, 1, 0x55, 0x55, 0x55}));
    std::vector<SimUnit::Request> writes;
    for (const auto& r : sim.Requests())
        if (r.Fnc == QXWire::Request::WriteData) writes.push_back(r);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].Data, (Bytes{0x00, 0xC0, 0x00, 1, 1, 1, 0, 1}));
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, "Menu Configuration downloaded successfully.");
    EXPECT_EQ(Messages[0].Icon, TMsgIcon::Information);
    EXPECT_FALSE(w->Modified);
}

TEST_F(MenuUnit, NoSuccessAfterAnIgnoredError) {
    TfrmQXMenu* w = Open();
    unit->Refuse(QXWire::Request::WriteData, 1);
    ErrorAnswers = {caIgnore};
    w->actMenuConfig->trigger();
    EXPECT_EQ(ErrorsAsked.size(), 1u);
    EXPECT_TRUE(Messages.empty());
    // Aborted likewise.
    unit->Refuse(QXWire::Request::WriteData, 1);
    ErrorAnswers = {caAbort};
    w->actMenuConfig->trigger();
    EXPECT_TRUE(Messages.empty());
}

TEST_F(MenuUnit, AWriteWhoseErrorWasIgnoredLeavesTheDialogNotConnected) {
    PutLanguage(0, "English");
    TfrmQXMenu* w = Open();
    auto d = Dialog(w, {"Deutsch"});
    ASSERT_TRUE(d->Connected);
    // The language list read after the refused write succeeds; the run as a
    // whole does not.
    unit->Refuse(QXWire::Request::WriteData, 1);
    ErrorAnswers = {caIgnore};
    d->btnPCToQXClick();
    EXPECT_EQ(ErrorsAsked.size(), 1u);
    EXPECT_FALSE(d->Connected);
    EXPECT_EQ(d->listboxQXContent->count(), 0);
    EXPECT_FALSE(d->btnPCToQX->isEnabled());
    // Refresh shows what the unit holds.
    d->btnRefresh->click();
    EXPECT_TRUE(d->Connected);
    EXPECT_EQ(Entries(d->listboxQXContent), std::vector<std::string>{"English"});
}
