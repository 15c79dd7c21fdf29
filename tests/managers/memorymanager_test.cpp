// The memory manager, offscreen, against the simulated unit.
#include "ManagersTest.h"

#include "../typeeditor/TypeSamples.h"
#include "FunctionCodes.h"
#include "Main.h"
#include "Managers.h"
#include "MemoryManager.h"
#include "TypeWindow.h"

#include <QAction>
#include <QMdiArea>
#include <QPointer>
#include <QTest>
#include <QTreeWidget>

namespace {

class MemoryManager : public ManagersFixture {
protected:
    std::unique_ptr<TfrmQX318MainForm> Main;
    uint8_t Formats[100] = {};

    void SetUp() override {
        ManagersFixture::SetUp();
        RegisterManagers();
        Main = std::make_unique<TfrmQX318MainForm>();
        Main->App.ComPort = 1;
        Main->App.ComModule->GetMonitor()->SetTimeout(100);
    }
    void TearDown() override {
        Main.reset();
        ManagersFixture::TearDown();
    }
    TfrmManager* Open() {
        return static_cast<TfrmManager*>(OpenManager(&Main->App));
    }
    // Stores the type's blocks in the unit as a type download leaves them.
    void Store(TTypeObjectData& type) {
        TQXBlockMemList blocks;
        _BlockContext context;
        context.ModelVersion.SetText("V2.7");
        ASSERT_TRUE(type.SaveToBlocks(blocks, context, 0, 1));
        for (int32_t i = 0; i < blocks.Count(); ++i) {
            const TQXBlockMem* b = blocks.Get(i);
            std::vector<uint8_t> stream(b->GetStreamSize());
            b->CopyStream(0, stream.data(), stream.size());
            unit.PutBlock(b->MemType, NextIndex[b->MemType]++, stream);
        }
    }
    std::map<uint8_t, uint8_t> NextIndex;

    static std::string Outline(QTreeWidgetItem* item, int depth = 0) {
        std::string out = std::string(depth, ' ') + item->text(0).toStdString() + "\n";
        for (int i = 0; i < item->childCount(); ++i) out += Outline(item->child(i), depth + 1);
        return out;
    }
    static QTreeWidgetItem* Find(TfrmManager* w, const QString& text) {
        const auto found = w->DataTree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    std::vector<TfrmTypeObject*> TypeWindows() {
        std::vector<TfrmTypeObject*> found;
        for (QMdiSubWindow* s : Main->ClientArea->subWindowList())
            if (auto* t = dynamic_cast<TfrmTypeObject*>(s)) found.push_back(t);
        return found;
    }
    size_t Requests(uint8_t fnc) const {
        size_t n = 0;
        for (const auto& r : Sent()) n += r.Fnc == fnc;
        return n;
    }
};


TEST_F(MemoryManager, OpensDisconnectedWithoutReadingTheUnit) {
    TfrmManager* w = Open();
    EXPECT_EQ(w->windowTitle(), "QX318");
    EXPECT_EQ(w->GetKind(), KindMemoryManager);
    EXPECT_FALSE(w->Connected());
    EXPECT_FALSE(w->pnlConnectInfo->isHidden());
    EXPECT_FALSE(w->DataTree->isEnabled());
    EXPECT_EQ(w->DataTree->topLevelItemCount(), 0);
    EXPECT_FALSE(w->actUpload->isEnabled());
    EXPECT_FALSE(w->actDelete->isEnabled());
    EXPECT_TRUE(sim.Requests().empty());
    EXPECT_EQ(w->lblConnectInfo->text(), "QX is not connected.");
}

TEST_F(MemoryManager, RefreshListsTypesAndTablesAndUploadOpensTheType) {
    TTypeObjectData pump(Formats);
    FillSampleType(pump);
    Store(pump);
    TTypeObjectData fan(Formats);
    fan.SetTypeName("FAN");
    fan.GetTypeData().SetParameterCount(1);
    Store(fan);
    TfrmManager* w = Open();
    w->actRefresh->trigger();
    ASSERT_TRUE(w->Connected());
    EXPECT_TRUE(w->pnlConnectInfo->isHidden());
    EXPECT_TRUE(w->DataTree->isEnabled());
    EXPECT_EQ(w->StatusConnection->text(), "Connected");
    ASSERT_EQ(w->DataTree->topLevelItemCount(), 1);
    EXPECT_EQ(Outline(w->DataTree->topLevelItem(0)),
              "QX318\n"
              " Type: PUMP            \n"
              "  Parameters\n"
              "  Table: Speeds          \n"
              "  Table:                 \n"
              " Type: FAN             \n"
              "  Parameters\n");
    EXPECT_TRUE(w->DataTree->topLevelItem(0)->isExpanded());

    // The root allows neither upload nor delete; a table node does.
    w->DataTree->setCurrentItem(w->DataTree->topLevelItem(0));
    EXPECT_FALSE(w->actUpload->isEnabled());
    EXPECT_FALSE(w->actDelete->isEnabled());
    w->DataTree->setCurrentItem(Find(w, "Table: Speeds          "));
    EXPECT_TRUE(w->actUpload->isEnabled());
    EXPECT_TRUE(w->actDelete->isEnabled());

    sim.ClearRecords();
    w->actUpload->trigger();
    // PUMP's blocks only: parameters text, its data set, two tables with one
    // data set each.
    EXPECT_EQ(Requests(QXWire::Request::ReadBlock) >= 5, true);
    const auto windows = TypeWindows();
    ASSERT_EQ(windows.size(), 1u);
    TTypeObjectData& back = *windows[0]->TypeData;
    EXPECT_EQ(back.GetTypeName(), "PUMP");
    ASSERT_EQ(back.GetTypeData().GetParameterCount(), 3);
    EXPECT_EQ(back.GetTypeData().GetValue(0, 0), 100);
    EXPECT_EQ(back.GetTypeData().GetValue(1, 0), 0xABCD);
    EXPECT_EQ(back.GetTypeData().GetValue(2, 0), 5);
    ASSERT_EQ(back.GetTableCount(), 2);
    TTableData* speeds = back.GetTable(0);
    ASSERT_NE(speeds, nullptr);
    EXPECT_EQ(speeds->GetName(), "Speeds");
    ASSERT_EQ(speeds->GetRowCount(), 2);
    for (int r = 0; r < 2; ++r)
        for (int f = 0; f < 3; ++f)
            EXPECT_EQ(speeds->GetValue(0, r, f), pump.GetTable(0)->GetValue(0, r, f)) << r << "," << f;
    EXPECT_EQ(speeds->GetValue(0, 0, 2), 0x12345678u);
}

TEST_F(MemoryManager, AnUploadWithAnIgnoredErrorOpensNoTypeWindow) {
    TTypeObjectData pump(Formats);
    FillSampleType(pump);
    Store(pump);
    TfrmManager* w = Open();
    w->actRefresh->trigger();
    ASSERT_TRUE(w->Connected());
    w->DataTree->setCurrentItem(Find(w, "Parameters"));
    unit.Refuse(QXWire::Request::ReadBlock, 1, 1);
    ErrorAnswers = {caIgnore};
    w->actUpload->trigger();
    EXPECT_EQ(ErrorsAsked, 1);
    EXPECT_TRUE(TypeWindows().empty());
}

TEST_F(MemoryManager, DeleteAsksFirstAndReadsTheListAgain) {
    // The unit lists its blocks up to the first free index: FAN goes first.
    TTypeObjectData fan(Formats);
    fan.SetTypeName("FAN");
    fan.GetTypeData().SetParameterCount(1);
    Store(fan);
    TTypeObjectData pump(Formats);
    FillSampleType(pump);
    Store(pump);
    TfrmManager* w = Open();
    w->actRefresh->trigger();
    ASSERT_NE(Find(w, "Type: FAN             "), nullptr);
    w->DataTree->setCurrentItem(Find(w, "Type: PUMP            "));
    const size_t before = unit.BlockCount();

    // No: nothing sent, no refresh.
    YesNoAnswers = {QMessageBox::No};
    sim.ClearRecords();
    w->actDelete->trigger();
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, "Delete: PUMP            \r\nAre you sure?");
    EXPECT_EQ(Messages[0].Icon, TMsgIcon::Warning);
    EXPECT_TRUE(Sent().empty());

    // Yes: the type goes, the success box, the list read again.
    Messages.clear();
    w->actDelete->trigger();
    ASSERT_EQ(Messages.size(), 2u);
    EXPECT_EQ(Messages[1].Text, "Type deleted successfully.");
    EXPECT_EQ(Messages[1].Icon, TMsgIcon::Information);
    EXPECT_LT(unit.BlockCount(), before);
    EXPECT_TRUE(w->Connected());
    EXPECT_EQ(Find(w, "Type: PUMP            "), nullptr);
    EXPECT_NE(Find(w, "Type: FAN             "), nullptr);
}

TEST_F(MemoryManager, ADeletionWithAnIgnoredErrorIsNoSuccess) {
    TTypeObjectData pump(Formats);
    FillSampleType(pump);
    Store(pump);
    TfrmManager* w = Open();
    w->actRefresh->trigger();
    w->DataTree->setCurrentItem(Find(w, "Parameters"));
    unit.Refuse(QXWire::Request::Delete, 1, 1);
    ErrorAnswers = {caIgnore};
    w->actDelete->trigger();
    EXPECT_EQ(ErrorsAsked, 1);
    ASSERT_EQ(Messages.size(), 1u);  // the question only
    EXPECT_NE(Messages[0].Text, "Type deleted successfully.");
    // The list is read again in any case.
    EXPECT_TRUE(w->Connected());
}

TEST_F(MemoryManager, ARefreshThatIgnoredAnErrorIsNotConnected) {
    TTypeObjectData pump(Formats);
    FillSampleType(pump);
    Store(pump);
    TfrmManager* w = Open();
    unit.Drop(QXWire::Request::ReadInfo, 40);
    ErrorAnswers = {caIgnore, caIgnore, caIgnore, caIgnore};
    w->actRefresh->trigger();
    EXPECT_GE(ErrorsAsked, 1);
    EXPECT_FALSE(w->Connected());
    EXPECT_FALSE(w->pnlConnectInfo->isHidden());
    EXPECT_EQ(w->DataTree->topLevelItemCount(), 0);
    EXPECT_TRUE(w->BlockInfos().Count() == 0);
}

TEST_F(MemoryManager, TheWindowIsTheRecordsBlockRefreshWhileItLives) {
    TTypeObjectData pump(Formats);
    FillSampleType(pump);
    Store(pump);
    QPointer<TfrmManager> w = Open();
    ASSERT_TRUE(bool(Main->App.OnBlocksChanged));
    Main->App.OnBlocksChanged(nullptr);
    EXPECT_TRUE(w->Connected());
    EXPECT_NE(Find(w, "Type: PUMP            "), nullptr);
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete w.data();
    EXPECT_FALSE(bool(Main->App.OnBlocksChanged));
}

TEST_F(MemoryManager, ATypeDownloadedFromATypeWindowAppearsByItself) {
    TTypeObjectData pump(Formats);
    FillSampleType(pump);
    Store(pump);
    Main->show();
    Main->actMemoryManager->trigger();
    QApplication::processEvents();
    QPointer<TfrmManager> w = static_cast<TfrmManager*>(Main->FindDocumentWindow(KindMemoryManager));
    ASSERT_TRUE(w);
    w->actRefresh->trigger();
    ASSERT_EQ(Find(w, "Type: FAN             "), nullptr);

    auto* type = qobject_cast<TfrmTypeObject*>(OpenTypeObject(&Main->App, std::string()));
    ASSERT_NE(type, nullptr);
    type->TypeData->SetTypeName("FAN");
    type->TypeData->GetTypeData().SetParameterCount(1);
    type->Refresh(false);
    type->actDownloadType->trigger();
    EXPECT_TRUE(Messages.empty());
    EXPECT_TRUE(w->Connected());
    EXPECT_NE(Find(w, "Type: FAN             "), nullptr);
    EXPECT_NE(Find(w, "Type: PUMP            "), nullptr);

    // Closed, the manager no longer hears of downloads, even before it is
    // destroyed.
    w->close();
    EXPECT_FALSE(bool(Main->App.OnBlocksChanged));
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(w);
    type->TypeData->SetTypeName("FAN2");
    type->Refresh(false);
    type->actDownloadType->trigger();
    type->Modified = false;
}

TEST_F(MemoryManager, TheMainWindowsCommandOpensOneManager) {
    EXPECT_TRUE(Main->actMemoryManager->isEnabled());
    Main->show();
    Main->actMemoryManager->trigger();
    Main->actMemoryManager->trigger();
    int count = 0;
    for (TMDICustomChild* d : Main->DocumentWindows()) count += d->Kind == KindMemoryManager;
    EXPECT_EQ(count, 1);
}

}  // namespace

// A type read from the unit opens fully inside the main window's document
// area, beside the memory manager in a small main window.
TEST_F(MemoryManager, AnUploadedTypeOpensInsideTheDocumentArea) {
    TTypeObjectData pump(Formats);
    FillSampleType(pump);
    Store(pump);
    Main->setWindowState(Qt::WindowNoState);
    Main->resize(760, 560);
    Main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
    TfrmManager* w = Open();
    w->actRefresh->trigger();
    ASSERT_TRUE(w->Connected());
    w->DataTree->setCurrentItem(Find(w, "Parameters"));
    w->actUpload->trigger();
    const auto windows = TypeWindows();
    ASSERT_EQ(windows.size(), 1u);
    const QRect area = Main->ClientArea->viewport()->rect();
    EXPECT_TRUE(area.contains(windows[0]->geometry())) << windows[0]->geometry().x() << ","
                                                       << windows[0]->geometry().y() << " "
                                                       << windows[0]->width() << "x" << windows[0]->height();
}
