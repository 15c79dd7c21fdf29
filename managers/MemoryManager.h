// The memory manager: the blocks stored in the unit as a tree of types and
// tables; a type read from the unit into a new type window; a type deleted
// in the unit.
#pragma once

#include <memory>

#include "BlockTree.h"
#include "ManagerChild.h"
#include "QXBlock.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class TCommCmdList;

// Mirrors a block tree into a tree view; each item carries its node.
class TTreeWidgetSink : public TTreeSink {
public:
    TTreeWidgetSink(QTreeWidget* view, _AppInterface* app) : View(view), App(app) {}
    void* AddItem(void* parent, const std::string& text, uint32_t image, TNode* node) override;
    void RemoveItem(void* item) override;
    void Expand(void* item) override;
    // The tree node behind a view item; none for none.
    static TNode* NodeOf(QTreeWidgetItem* item);

private:
    QTreeWidget* View;
    _AppInterface* App;
};

class TfrmManager : public TManagerChild {
    Q_OBJECT
public:
    static constexpr int PlacementIndex = 0;
    static constexpr int ToolBarSlot = 4;  // MemoryManager

    explicit TfrmManager(_AppInterface* app);
    ~TfrmManager() override;

    QWidget* Client;
    QToolBar* toolbarMemoryManager;
    QTreeWidget* DataTree;
    QStatusBar* StatusBar;
    QLabel* StatusConnection;
    QFrame* pnlConnectInfo;
    QLabel* lblConnectInfo;
    QPushButton* btnConnect;
    QAction* actRefresh;
    QAction* actUpload;
    QAction* actDelete;
    QMenu* PopupMenu;

    bool Connected() const { return IsConnected; }
    const TQXBlockInfoList& BlockInfos() const { return Infos; }
    const TBlockTree& Tree() const { return *BlockTree; }
public slots:
    void actRefreshExecute();
    void actUploadExecute();
    void actUploadUpdate();
    void actDeleteExecute();
    void actDeleteUpdate();
    void DataTreeContextPopup(const QPoint& at);
    void FormResize();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<TTreeWidgetSink> Adapter;
    TQXBlockMemList Blocks;
    TQXBlockInfoList Infos;
    std::unique_ptr<TBlockTree> BlockTree;
    bool IsConnected = false;

    void SetConnected(bool connected);
    void UpdateActions();
    bool TypeNodeSelected() const;
    // One run; true when it succeeded and no error was ignored.
    bool Run(TCommCmdList& list);
    void Upload(const TQXBlockInfoList& entries);
    void DeleteType(const std::string& name);
};

// Creates the memory manager, shows it and returns it; none when creating
// fails. It does not read the unit.
TMDICustomChild* OpenManager(_AppInterface* app);
