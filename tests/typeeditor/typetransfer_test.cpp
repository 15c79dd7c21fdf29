// Sending a type to the simulated unit and reading its values back, through
// the real type window inside the main window: the blocks the unit stores
// byte by byte, the language choice, the overwrite and model-version paths,
// a unit that falls silent, and the upload's checks and question.
#include <algorithm>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "../frame/FrameTest.h"
#include "../support/gui/LayoutCheck.h"
#include "CommDriver.h"
#include "CommModule.h"
#include "DebugForm.h"
#include "Images.h"
#include "LanguageSelect.h"
#include "Main.h"
#include "SimUnit.h"
#include "SimUnitServices.h"
#include "Sequencer.h"
#include "TableBlocks.h"
#include "TypeBlocks.h"
#include "TypeObject.h"
#include "Tabledata.h"
#include "Typedata.h"
#include "TypeTransfer.h"
#include "TypeWindow.h"

#include <atomic>
#include <deque>

namespace {

// Byte streams in a fixed order, for comparing sets of blocks. Compared byte
// by byte: in an optimized build g++ 12 reports a bound of its own making for
// the memcmp in the vectors' own comparison.
std::vector<std::vector<uint8_t>> Sorted(std::vector<std::vector<uint8_t>> streams) {
    std::sort(streams.begin(), streams.end(), [](const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
        const size_t n = std::min(a.size(), b.size());
        for (size_t i = 0; i < n; ++i)
            if (a[i] != b[i]) return a[i] < b[i];
        return a.size() < b.size();
    });
    return streams;
}

using Bytes = std::vector<uint8_t>;

void PutAt(Bytes& b, size_t at, std::string_view text) { std::copy(text.begin(), text.end(), b.begin() + at); }
void Put16At(Bytes& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
// A block as the unit keeps it: the 6-byte header (kind, 0, data length + 6,
// 0, 0), then the data.
// Built at its full size: g++ 12 reports false bounds for an insert into a
// vector it has seen at 6 bytes.
Bytes Stream(uint8_t kind, const Bytes& data) {
    Bytes s(6 + data.size(), 0);
    s[0] = kind;
    Put16At(s, 2, static_cast<uint16_t>(data.size() + 6));
    std::copy(data.begin(), data.end(), s.begin() + 6);
    return s;
}
const char PaddedFan[] = "FAN             ";  // 16 characters; the NUL follows
const char PaddedT1[] = "T1              ";
const char PaddedT2[] = "T2              ";

// The small type: "FAN" in English and Deutsch, one parameter, three data
// sets and two tables of one data set each.
void FillSmallType(TTypeObjectData& object) {
    object.SetTypeName("FAN");
    TTypeData6& type = object.GetTypeData();
    type.SetLanguageCount(2);
    type.GetLanguage(0)->SetName("English");
    type.GetLanguage(1)->SetName("Deutsch");
    type.GetLanguage(0)->SetSwitchText(0, "Fan");
    type.GetLanguage(1)->SetSwitchText(0, "Luefter");
    type.SetParameterCount(1);
    type.SetParamNameRaw(0, 0, "P1 Speed");
    type.SetParamNameRaw(0, 1, "P1 Tempo");
    type.GetParamFormat(0)->SetUnits("rpm");
    type.GetParamFormat(0)->Min = 10;
    type.GetParamFormat(0)->Max = 3000;
    type.SetDataSetCount(3);
    const uint16_t masks[3] = {0x0001, 0x0002, 0x8000}, values[3] = {100, 0xABCD, 300};
    for (int s = 0; s < 3; ++s) {
        type.SetSwitchMask(s, masks[s]);
        type.SetValue(0, s, values[s]);
    }
    TTableData* t1 = object.AddTable();
    t1->SetName("T1");
    t1->SetFieldCount(1);
    t1->GetField(0)->SetName("F");
    t1->GetField(0)->Size = 2;
    t1->SetRowCount(1);
    t1->SetValue(0, 0, 0, 0x1234);
    TTableData* t2 = object.AddTable();
    t2->SetName("T2");
    t2->SetFieldCount(2);
    t2->GetField(0)->SetName("A");
    t2->GetField(0)->Size = 1;
    t2->GetField(1)->SetName("B");
    t2->GetField(1)->Size = 4;
    t2->GetField(1)->Flags = 1;
    t2->SetRowCount(1);
    t2->SetValue(0, 0, 0, 0x7F);
    t2->SetValue(0, 0, 1, 0x01020304);
}

// The eight blocks of the small type for languages 1 (English) and 2
// (Deutsch), in the order they are written.
std::vector<Bytes> ExpectedSmallTypeStreams() {
    std::vector<Bytes> streams;
    Bytes text(1236 + 142 * 2, 0);
    PutAt(text, 0, PaddedFan);
    text[17] = 2;
    for (int i = 0; i < 16; ++i) {
        const std::string sw = "SW " + std::to_string(i + 1);
        PutAt(text, 20 + 76 * i, i == 0 ? "Fan" : sw);
        PutAt(text, 58 + 76 * i, i == 0 ? "Luefter" : sw);
    }
    PutAt(text, 1378, "P1 Speed");
    PutAt(text, 1378 + 64, "P1 Tempo");
    PutAt(text, 1378 + 128, "rpm");
    Put16At(text, 1378 + 136, 10);
    Put16At(text, 1378 + 138, 3000);
    streams.push_back(Stream(1, text));
    const uint16_t masks[3] = {0x0001, 0x0002, 0x8000}, values[3] = {100, 0xABCD, 300};
    for (int s = 0; s < 3; ++s) {
        Bytes data(40, 0);
        PutAt(data, 0, PaddedFan);
        PutAt(data, 17, PaddedFan);
        data[34] = 2;
        Put16At(data, 36, masks[s]);
        Put16At(data, 38, values[s]);
        streams.push_back(Stream(3, data));
    }
    Bytes t1(44 + 32, 0);
    PutAt(t1, 0, PaddedT1);
    PutAt(t1, 17, PaddedFan);
    Put16At(t1, 34, 1);
    t1[36] = 1;
    PutAt(t1, 44, "F");
    t1[44 + 30] = 2;
    streams.push_back(Stream(2, t1));
    Bytes d1(36 + 2, 0);
    PutAt(d1, 0, PaddedT1);
    PutAt(d1, 17, PaddedFan);
    Put16At(d1, 36, 0x1234);
    streams.push_back(Stream(4, d1));
    Bytes t2(44 + 64, 0);
    PutAt(t2, 0, PaddedT2);
    PutAt(t2, 17, PaddedFan);
    Put16At(t2, 34, 1);
    t2[36] = 2;
    PutAt(t2, 44, "A");
    t2[44 + 30] = 1;
    PutAt(t2, 76, "B");
    t2[76 + 30] = 4;
    t2[76 + 31] = 1;
    streams.push_back(Stream(2, t2));
    Bytes d2(36 + 5, 0);
    PutAt(d2, 0, PaddedT2);
    PutAt(d2, 17, PaddedFan);
    d2[36] = 0x7F;
    d2[37] = 0x04;
    d2[38] = 0x03;
    d2[39] = 0x02;
    d2[40] = 0x01;
    streams.push_back(Stream(4, d2));
    return streams;
}

class TypeTransfer : public FrameFixture {
protected:
    SimUnit sim;
    SimUnitServices unit{sim};
    std::unique_ptr<TfrmQX318MainForm> Main;
    std::deque<QMessageBox::StandardButton> YesNoAnswers;  // No when it runs out
    std::deque<int32_t> ErrorAnswers;                      // Abort when it runs out
    int ErrorsAsked = 0;
    // The language dialog: how often it was shown, its entries, and the
    // answer (the two positions, or cancel).
    int LanguageDialogs = 0;
    std::vector<std::string> LanguageEntries;
    int LanguageDefaults[2] = {-1, -1};
    int ChooseLanguages[2] = {0, 1};
    bool CancelLanguages = false;
    // The name prompt: the answer (nullopt: cancelled) and how often asked.
    std::optional<std::string> NameAnswer;
    int NamePrompts = 0;
    int BlocksChangedCalls = 0;

    void SetUp() override {
        FrameFixture::SetUp();
        RegisterTypeEditor();
        TDialogAnswers::Set<TMessageBoxDialog>([this](const TMessageRequest& r) {
            Messages.push_back(r);
            if (r.Buttons == TMsgButtons::Ok) return QMessageBox::Ok;
            if (YesNoAnswers.empty()) return QMessageBox::No;
            const auto answer = YesNoAnswers.front();
            YesNoAnswers.pop_front();
            return answer;
        });
        TDialogAnswers::Set<TfrmLanguageSelect>([this](TfrmLanguageSelect& d) {
            ++LanguageDialogs;
            LanguageEntries.clear();
            for (int i = 0; i < d.cmbboxLanguage1->count(); ++i)
                LanguageEntries.push_back(d.cmbboxLanguage1->itemText(i).toStdString());
            LanguageDefaults[0] = d.cmbboxLanguage1->currentIndex();
            LanguageDefaults[1] = d.cmbboxLanguage2->currentIndex();
            if (CancelLanguages) {
                d.btnCancel->click();
                return d.result();
            }
            d.cmbboxLanguage1->setCurrentIndex(ChooseLanguages[0]);
            d.cmbboxLanguage2->setCurrentIndex(ChooseLanguages[1]);
            d.btnOk->click();
            return d.result();
        });
        TDialogAnswers::Set<TInputQueryDialog>([this](const TInputRequest&, std::string& value) {
            ++NamePrompts;
            if (!NameAnswer) return false;
            value = *NameAnswer;
            return true;
        });
        TDialogAnswers::Set<TfrmDebugForm>([this](TfrmDebugForm&) {
            ++ErrorsAsked;
            if (ErrorAnswers.empty()) return int32_t{caAbort};
            const int32_t a = ErrorAnswers.front();
            ErrorAnswers.pop_front();
            return a;
        });
        MapComPorts({{1, &sim}});
        Main = std::make_unique<TfrmQX318MainForm>(nullptr, std::string());
        Main->show();
        Main->App.ComPort = 1;
        Main->App.ComModule->GetMonitor()->SetTimeout(100);
        Main->App.OnBlocksChanged = [this](QWidget*) { ++BlocksChangedCalls; };
        Fresh = unit.Snapshot();
        QApplication::processEvents();
    }
    void TearDown() override {
        if (Main)
            for (TMDICustomChild* w : Main->DocumentWindows())
                if (auto* t = qobject_cast<TfrmTypeObject*>(w)) t->Modified = false;
        Main.reset();
        TDialogAnswers::Clear<TfrmDebugForm>();
        TDialogAnswers::Clear<TfrmLanguageSelect>();
        TDialogAnswers::Clear<TInputQueryDialog>();
        ClearComPorts();
        FrameFixture::TearDown();
    }

    // The unit as it started, the records and the counters cleared.
    SimUnitServices::Contents Fresh;
    void Reset() {
        ASSERT_TRUE(unit.Restore(Fresh));
        sim.SetFaultPolicy(nullptr);
        sim.ClearRecords();
        Messages.clear();
        ErrorAnswers.clear();
        YesNoAnswers.clear();
        ErrorsAsked = 0;
        BlocksChangedCalls = 0;
    }

    TfrmTypeObject* OpenNew(const std::function<void(TTypeObjectData&)>& fill) {
        auto* w = qobject_cast<TfrmTypeObject*>(DocumentCreators().OpenTypeObject(&Main->App, std::string()));
        if (!w) return nullptr;
        if (fill) fill(*w->TypeData);
        w->Refresh(false);
        QApplication::processEvents();
        return w;
    }

    // The streams the unit was sent, block by block, from the block packets
    // of the run (a packet sent again replaces what it covered).
    std::vector<Bytes> WrittenStreams() const {
        std::vector<Bytes> streams;
        for (const auto& r : sim.Requests()) {
            if (r.Fnc != 0x14 || r.Data.size() < 4) continue;
            const size_t offset = r.Data[2] | r.Data[3] << 8;
            if (offset == 0) streams.emplace_back();
            if (streams.empty()) continue;
            streams.back().resize(offset);
            streams.back().insert(streams.back().end(), r.Data.begin() + 4, r.Data.end());
        }
        return streams;
    }
    // What the unit holds, ordered by memory type and index.
    std::vector<Bytes> HeldStreams() const {
        std::vector<Bytes> held;
        for (const auto& [key, stream] : unit.Snapshot().Blocks) held.push_back(stream);
        return held;
    }
    size_t Requests(uint8_t fnc) const {
        size_t n = 0;
        for (const auto& r : sim.Requests()) n += r.Fnc == fnc;
        return n;
    }
    std::vector<std::string> Texts() const { return MessageTexts(); }
    std::string Text(uint32_t id) const { return Main->App.Text(id); }
};

TEST_F(TypeTransfer, DownloadPutsExactlyTheTypeIntoTheUnit) {
    TfrmTypeObject* w = OpenNew(FillSmallType);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->actDownloadType->shortcut(), QKeySequence("Ctrl+D"));
    // While the blocks travel the GUI thread goes on serving its events,
    // with the communication dialog as the modal window.
    int ticks = 0, ticksUnderDialog = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        ++ticks;
        ticksUnderDialog += qobject_cast<TfrmCommModule*>(QApplication::activeModalWidget()) != nullptr;
    });
    tick.start();
    w->actDownloadType->trigger();
    tick.stop();
    EXPECT_GT(ticksUnderDialog, 10);
    // A tick may fall in the moment before the dialog shows or after it
    // closed; every other one finds it modal.
    EXPECT_LE(ticks - ticksUnderDialog, 2);
    EXPECT_EQ(LanguageDialogs, 1);
    EXPECT_EQ(LanguageEntries, (std::vector<std::string>{"1. English", "2. Deutsch"}));
    EXPECT_EQ(LanguageDefaults[0], 0);
    EXPECT_EQ(LanguageDefaults[1], 1);
    EXPECT_EQ(ErrorsAsked, 0);
    EXPECT_TRUE(Messages.empty()) << (Messages.empty() ? "" : Messages.front().Text);
    const std::vector<Bytes> expected = ExpectedSmallTypeStreams();
    const std::vector<Bytes> written = WrittenStreams();
    ASSERT_EQ(written.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(written[i], expected[i]) << "block " << i;
    std::vector<Bytes> held = HeldStreams(), wanted = expected;
    held = Sorted(std::move(held));
    wanted = Sorted(std::move(wanted));
    EXPECT_EQ(held, wanted);
    EXPECT_EQ(BlocksChangedCalls, 1);
    EXPECT_EQ(ParseModelVersion(Main->App.ModelVersion.GetText()), 2);
}

TEST_F(TypeTransfer, TheTwoCommandsStandOnBothToolBarsAndBothPopupMenus) {
    TfrmTypeObject* w = OpenNew(FillSmallType);
    ASSERT_NE(w, nullptr);
    struct Case {
        QAction* Action;
        const char* Caption;
        const char* Shortcut;
        int Image;
    };
    const Case cases[] = {{w->actDownloadType, "Type PC -> QX", "Ctrl+D", 63},
                          {w->actUploadType, "Type QX -> PC", "Ctrl+U", 64}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Caption);
        EXPECT_EQ(c.Action->text(), c.Caption);
        EXPECT_EQ(c.Action->toolTip(), c.Caption);
        EXPECT_EQ(c.Action->shortcut(), QKeySequence(c.Shortcut));
        EXPECT_FALSE(c.Action->icon().isNull());
        EXPECT_EQ(c.Action->icon().pixmap(16).toImage(), Main->App.ActionImages->Icon(c.Image).pixmap(16).toImage());
        for (QWidget* holder : std::initializer_list<QWidget*>{w->toolbarType, w->toolbarTable, w->popupmnuType,
                                                               w->popupmnuTable})
            EXPECT_TRUE(holder->actions().contains(c.Action)) << holder->objectName().toStdString();
    }
}

// The small type with one data set: what an upload can read back.
void FillOneSetType(TTypeObjectData& object) {
    FillSmallType(object);
    object.GetTypeData().SetDataSetCount(1);
}

TEST_F(TypeTransfer, TypeThatExistsInTheUnitIsOverwrittenOnlyOnYes) {
    TfrmTypeObject* w = OpenNew(FillSmallType);
    ASSERT_NE(w, nullptr);
    w->actDownloadType->trigger();
    const std::vector<Bytes> first = HeldStreams();
    ASSERT_EQ(first.size(), 8u);
    w->TypeData->GetTypeData().SetValue(0, 0, 4321);
    const std::string question = "Type FAN already exists.\r\nOverwrite?";

    // No: the unit keeps its type.
    sim.ClearRecords();
    Messages.clear();
    YesNoAnswers = {QMessageBox::No};
    w->actDownloadType->trigger();
    ASSERT_EQ(Texts(), (std::vector<std::string>{question}));
    EXPECT_EQ(Messages[0].Icon, TMsgIcon::Warning);
    EXPECT_EQ(Requests(0x02), 0u);
    EXPECT_EQ(HeldStreams(), first);
    EXPECT_EQ(ErrorsAsked, 0);  // the quiet run asks nothing itself
    EXPECT_EQ(BlocksChangedCalls, 2);

    // Yes: the type is deleted by its blank-padded name and every block
    // goes again.
    sim.ClearRecords();
    Messages.clear();
    YesNoAnswers = {QMessageBox::Yes};
    w->actDownloadType->trigger();
    EXPECT_EQ(Texts(), (std::vector<std::string>{question}));
    std::vector<Bytes> deletes;
    for (const auto& r : sim.Requests())
        if (r.Fnc == 0x02) deletes.push_back(r.Data);
    Bytes padded = {2};
    for (char c : std::string("FAN             ")) padded.push_back(static_cast<uint8_t>(c));
    padded.push_back(0);
    EXPECT_EQ(deletes, (std::vector<Bytes>{padded}));
    std::vector<Bytes> expected = ExpectedSmallTypeStreams();
    Put16At(expected[1], 6 + 38, 4321);
    const std::vector<Bytes> written = WrittenStreams();
    ASSERT_GE(written.size(), expected.size());
    // The refused first block, then all eight.
    EXPECT_EQ(std::vector<Bytes>(written.end() - 8, written.end()), expected);
    std::vector<Bytes> held = HeldStreams();
    held = Sorted(std::move(held));
    expected = Sorted(std::move(expected));
    EXPECT_EQ(held, expected);
    EXPECT_EQ(BlocksChangedCalls, 3);

    // Yes, but the unit refuses the delete: the error dialog tells it, and
    // no block goes out again.
    sim.ClearRecords();
    Messages.clear();
    YesNoAnswers = {QMessageBox::Yes};
    sim.SetFaultPolicy([](const SimUnit::Request& r) -> std::optional<SimUnit::Fault> {
        if (r.Fnc == 0x02) return SimUnit::Fault{.Refuse = 5};
        return std::nullopt;
    });
    w->actDownloadType->trigger();
    EXPECT_EQ(Texts(), (std::vector<std::string>{question}));
    EXPECT_EQ(ErrorsAsked, 1);
    ASSERT_EQ(Requests(0x02), 1u);
    const auto& requests = sim.Requests();
    const auto deleted = std::find_if(requests.begin(), requests.end(), [](const auto& r) { return r.Fnc == 0x02; });
    EXPECT_TRUE(std::none_of(deleted, requests.end(), [](const auto& r) { return r.Fnc == 0x14; }));
    EXPECT_EQ(HeldStreams().size(), 8u);
    EXPECT_EQ(BlocksChangedCalls, 4);
}

TEST_F(TypeTransfer, UnitOfAnotherMajorVersionGetsOneRebuiltAttemptThen5041) {
    struct Case {
        const char* Model;
        size_t Searches;  // the rebuilt attempt runs only when images can be built again
    };
    // A unit of version 3 leaves no images to build: the second attempt ends
    // before it talks to the unit. A unit whose text names no version gets
    // the images of V2.7 once more, and refuses them again.
    for (const Case c : {Case{"V3.0 SIM", 1}, Case{"QX318 SIM", 2}}) {
        SCOPED_TRACE(c.Model);
        Reset();
        Main->App.ModelVersion.Clear();
        sim.SetModel(c.Model);
        TfrmTypeObject* w = OpenNew(FillSmallType);
        ASSERT_NE(w, nullptr);
        w->actDownloadType->trigger();
        EXPECT_EQ(Texts(), (std::vector<std::string>{"Cannot export Memory Blocks, an undefined QX Version is used (" +
                                                     std::string(c.Model) + ")."}));
        EXPECT_EQ(Messages[0].Icon, TMsgIcon::Stop);
        EXPECT_EQ(ErrorsAsked, 0);
        EXPECT_EQ(Requests(0x14), 0u);  // nothing was written
        EXPECT_EQ(Requests(0xC3), c.Searches);
        EXPECT_EQ(unit.BlockCount(), 0u);
        EXPECT_EQ(Main->App.ModelVersion.GetText(), c.Model);
        EXPECT_EQ(BlocksChangedCalls, 1);
    }
}

TEST_F(TypeTransfer, UnitThatFallsSilentHalfway) {
    struct Case {
        int32_t Answer;
        std::vector<size_t> Held;  // the blocks of the small type the unit holds afterwards
    };
    const std::vector<Bytes> all = ExpectedSmallTypeStreams();
    // Abort: the three blocks before; Retry: the whole type; Ignore: all but
    // the fourth block, which never arrived.
    const Case cases[] = {{caAbort, {0, 1, 2}}, {caRetry, {0, 1, 2, 3, 4, 5, 6, 7}}, {caIgnore, {0, 1, 2, 4, 5, 6, 7}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Answer);
        Reset();
        // The fourth block's first packet and its eight repetitions go unanswered.
        auto packets = std::make_shared<std::atomic<int>>(0);
        sim.SetFaultPolicy([packets](const SimUnit::Request& r) -> std::optional<SimUnit::Fault> {
            if (r.Fnc != 0x14 || r.Data.size() < 4 || r.Data[2] != 0 || r.Data[3] != 0) return std::nullopt;
            const int n = ++*packets;
            if (n >= 4 && n < 4 + 9) return SimUnit::Fault{.Silent = true};
            return std::nullopt;
        });
        TfrmTypeObject* w = OpenNew(FillSmallType);
        ASSERT_NE(w, nullptr);
        ErrorAnswers = {c.Answer};
        w->actDownloadType->trigger();
        EXPECT_EQ(ErrorsAsked, 1);
        std::vector<Bytes> held = HeldStreams(), wanted;
        for (size_t i : c.Held) wanted.push_back(all[i]);
        held = Sorted(std::move(held));
        wanted = Sorted(std::move(wanted));
        EXPECT_EQ(held, wanted);
        EXPECT_TRUE(Messages.empty());
        EXPECT_EQ(BlocksChangedCalls, 1);
    }
}

TEST_F(TypeTransfer, NamesLanguagesAndTypesTheImagesCannotCarry) {
    // A type with one language goes without the dialog, as language 1 twice.
    TfrmTypeObject* w = OpenNew([](TTypeObjectData& t) {
        FillSmallType(t);
        t.GetTypeData().SetLanguageCount(1);
    });
    ASSERT_NE(w, nullptr);
    w->actDownloadType->trigger();
    EXPECT_EQ(LanguageDialogs, 0);
    EXPECT_EQ(unit.BlockCount(), 8u);
    const Bytes text = WrittenStreams().at(0);
    EXPECT_EQ(std::string(text.begin() + 6 + 58, text.begin() + 6 + 61), "Fan");

    // Cancelled language dialog: nothing goes out, nothing is told.
    sim.ClearRecords();
    CancelLanguages = true;
    w = OpenNew([](TTypeObjectData& t) {
        FillSmallType(t);
        t.SetTypeName("OTHER");
    });
    w->actDownloadType->trigger();
    EXPECT_EQ(LanguageDialogs, 1);
    EXPECT_TRUE(sim.Requests().empty());
    EXPECT_TRUE(Messages.empty());
    CancelLanguages = false;

    // An unnamed type: cancel, blanks, then a name with blanks around it.
    w = OpenNew([](TTypeObjectData& t) {
        FillSmallType(t);
        t.SetTypeName("");
    });
    EXPECT_FALSE(w->actUploadType->isEnabled());
    NameAnswer.reset();
    w->actDownloadType->trigger();
    EXPECT_TRUE(Messages.empty());
    EXPECT_FALSE(w->Modified);
    NameAnswer = " \t  ";
    w->actDownloadType->trigger();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Cannot download unnamed Type.\r\nDownloading aborted."}));
    EXPECT_EQ(w->TypeData->GetTypeName(), "");
    EXPECT_FALSE(w->Modified);
    Messages.clear();
    // Blanks around the name go, also where the name is cut to 16 characters.
    NameAnswer = "  ABCDEFGHIJKLMNO XY ";
    w->actDownloadType->trigger();
    EXPECT_EQ(NamePrompts, 3);
    EXPECT_EQ(w->TypeData->GetTypeName(), "ABCDEFGHIJKLMNO");
    EXPECT_TRUE(w->Modified);
    EXPECT_TRUE(w->actUploadType->isEnabled());
    EXPECT_TRUE(Messages.empty());
    EXPECT_EQ(unit.BlockCount(), 16u);

    // More parameters than an image can describe: refused before anything is sent.
    sim.ClearRecords();
    w = OpenNew([](TTypeObjectData& t) {
        FillSmallType(t);
        t.SetTypeName("BIG");
        t.GetTypeData().SetParameterCount(255);
    });
    w->actDownloadType->trigger();
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Icon, TMsgIcon::Stop);
    EXPECT_TRUE(sim.Requests().empty());
}

TEST_F(TypeTransfer, UploadReadsTheValuesOfThisTypeBack) {
    TfrmTypeObject* w = OpenNew(FillOneSetType);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->actUploadType->shortcut(), QKeySequence("Ctrl+U"));
    // Nothing of the type in the unit yet.
    w->actUploadType->trigger();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Type: FAN\r\nData not found."}));
    EXPECT_EQ(Messages[0].Icon, TMsgIcon::Information);
    Messages.clear();

    w->actDownloadType->trigger();
    ASSERT_EQ(unit.BlockCount(), 6u);
    w->Modified = false;
    TTypeData6& def = w->TypeData->GetTypeData();
    def.SetValue(0, 0, 999);
    w->TypeData->GetTable(1)->SetValue(0, 0, 1, 5);
    const std::string question = "Set: FAN (3)\r\nData set already exists, overwrite?";

    // No: nothing changes.
    YesNoAnswers = {QMessageBox::No};
    w->actUploadType->trigger();
    EXPECT_EQ(Texts(), (std::vector<std::string>{question}));
    EXPECT_EQ(Messages[0].Owner, Main.get());
    EXPECT_EQ(def.GetValue(0, 0), 999);
    EXPECT_FALSE(w->Modified);

    // Yes: the unit's values, and the window shows modified.
    Messages.clear();
    YesNoAnswers = {QMessageBox::Yes};
    w->actUploadType->trigger();
    EXPECT_EQ(Texts(), (std::vector<std::string>{question}));
    EXPECT_EQ(def.GetValue(0, 0), 100);
    EXPECT_EQ(w->TypeData->GetTable(1)->GetValue(0, 0, 1), 0x01020304u);
    EXPECT_TRUE(w->Modified);
    EXPECT_EQ(BlocksChangedCalls, 1);  // the upload does not call it
}

TEST_F(TypeTransfer, UploadWithAnIgnoredErrorAppliesNothing) {
    TfrmTypeObject* w = OpenNew(FillOneSetType);
    ASSERT_NE(w, nullptr);
    w->actDownloadType->trigger();
    ASSERT_EQ(unit.BlockCount(), 6u);
    w->TypeData->GetTypeData().SetValue(0, 0, 999);
    w->Modified = false;
    // The first data block read goes unanswered, with its eight repetitions.
    auto reads = std::make_shared<std::atomic<int>>(0);
    sim.SetFaultPolicy([reads](const SimUnit::Request& r) -> std::optional<SimUnit::Fault> {
        if (r.Fnc != 0x94) return std::nullopt;
        if (++*reads <= 9) return SimUnit::Fault{.Silent = true};
        return std::nullopt;
    });
    ErrorAnswers = {caIgnore};
    w->actUploadType->trigger();
    EXPECT_EQ(ErrorsAsked, 1);
    EXPECT_TRUE(Messages.empty());  // no question: nothing is applied
    EXPECT_EQ(w->TypeData->GetTypeData().GetValue(0, 0), 999);
    EXPECT_FALSE(w->Modified);
}

TEST_F(TypeTransfer, UploadCountsOnlyTheDataBlocksOfThisType) {
    const auto Stored = [](uint8_t kind, const char* name, const char* owner, size_t size) {
        Bytes data(size, 0);
        PutAt(data, 0, name);
        PutAt(data, 17, owner);
        return Stream(kind, data);
    };
    struct Case {
        const char* What;
        std::vector<Bytes> Blocks;  // put into memory type 1, index 0 on
        std::vector<std::string> Texts;
        const char* WindowName = "FAN";
    };
    const std::string question = "Set: FAN (1)\r\nData set already exists, overwrite?";
    const std::string incompatible = "Incompatible data QX - PC\r\nType FAN";
    Bytes data(38, 0);
    PutAt(data, 0, PaddedFan);
    PutAt(data, 17, PaddedFan);
    data[34] = 1;
    const Bytes own = Stream(3, data);
    const std::vector<Case> cases = {
        {"its one block", {own}, {question}},
        {"two blocks of it", {own, own}, {incompatible}},
        {"a table of another type named like it", {own, Stored(4, PaddedFan, "OTHER           ", 40)}, {question}},
        {"a table it owns", {own, Stored(4, "T1              ", PaddedFan, 40)}, {incompatible}},
        {"another type's data only", {Stored(3, "OTHER           ", "OTHER           ", 38)},
         {"Type: FAN\r\nData not found."}},
        {"a type's data naming another type", {Stored(3, PaddedFan, "OTHER           ", 38)},
         {"Type: FAN\r\nData not found."}},
        {"names ending at their NUL", {Stored(3, "FAN", "FAN", 38)}, {question}},
        {"a window name with a blank after it", {own}, {"Set: FAN  (1)\r\nData set already exists, overwrite?"},
         "FAN "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Reset();
        for (size_t i = 0; i < c.Blocks.size(); ++i) unit.PutBlock(1, static_cast<uint8_t>(i), c.Blocks[i]);
        TfrmTypeObject* w = OpenNew([&c](TTypeObjectData& t) {
            t.SetTypeName(c.WindowName);
            t.GetTypeData().SetLanguageCount(1);
        });
        ASSERT_NE(w, nullptr);
        YesNoAnswers = {QMessageBox::No};
        w->actUploadType->trigger();
        EXPECT_EQ(Texts(), c.Texts);
    }
}

TEST_F(TypeTransfer, LanguageDialogDefaultsAndNoLanguages) {
    uint8_t formats[100] = {};
    TTypeObjectData type(formats);
    FillSmallType(type);
    type.GetTypeData().SetLanguageCount(3);
    type.GetTypeData().GetLanguage(2)->SetName("Francais");
    int32_t a = 7, b = 7;
    ChooseLanguages[0] = 2;
    ChooseLanguages[1] = 2;
    EXPECT_EQ(TfrmLanguageSelect::Execute(&Main->App, type, &a, &b), 1);
    EXPECT_EQ(LanguageEntries, (std::vector<std::string>{"1. English", "2. Deutsch", "3. Francais"}));
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 2);
    CancelLanguages = true;
    a = b = 7;
    EXPECT_EQ(TfrmLanguageSelect::Execute(&Main->App, type, &a, &b), 2);
    EXPECT_EQ(a, 7);
    EXPECT_EQ(b, 7);
    // No language: both lists empty and OK disabled.
    type.GetTypeData().SetLanguageCount(0);
    TfrmLanguageSelect dialog(&Main->App, &a, &b, type);
    EXPECT_EQ(dialog.cmbboxLanguage1->count(), 0);
    EXPECT_FALSE(dialog.btnOk->isEnabled());
    EXPECT_EQ(dialog.windowTitle(), "Language Select");
}

TEST_F(TypeTransfer, LanguageDialogShowsEveryTextAlsoInALongerLanguage) {
    uint8_t formats[100] = {};
    TTypeObjectData type(formats);
    FillSmallType(type);
    type.GetTypeData().GetLanguage(1)->SetName("Langue longue 16");
    int32_t a = 0, b = 0;
    {
        TfrmLanguageSelect english(&Main->App, &a, &b, type);
        EXPECT_EQ(LayoutProblems(&english), std::vector<std::string>{});
        EXPECT_GE(english.width(), 290);
        EXPECT_GE(english.height(), 130);
        WriteFileBytes(ProgramDir / "QX318Utility.mls", LongTextsLanguageFile({&english}));
    }
    Main.reset();
    Main = std::make_unique<TfrmQX318MainForm>(nullptr, std::string());
    Main->App.Mls->SetLanguage(0);
    TfrmLanguageSelect longer(&Main->App, &a, &b, type);
    ASSERT_EQ(longer.btnCancel->text(), "&CancelCancel");
    EXPECT_EQ(LayoutProblems(&longer), std::vector<std::string>{});
}

}  // namespace
