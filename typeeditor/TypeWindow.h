// The type window: one type (TTypeObjectData) with its structure as a tree
// on the left and its parameters, switches and tables in a tabbed grid on
// the right. Opened through OpenTypeObject (a file, or a new type) and
// OpenTypeObjectFromBlocks (blocks read from the unit).
#pragma once

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QToolBar>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "Images.h"
#include "MDICustomChild.h"
#include "TypeCommands.h"
#include "TypeDataGrid.h"
#include "TypeSelection.h"
#include "TypeTreeView.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QSplitter;
class QStatusBar;
#include "QXBlock.h"
class TTableData;
class TTypeData6;
class TTypeObjectData;

class TfrmTypeObject : public TMDICustomChild {
    Q_OBJECT
public:
    TfrmTypeObject(_AppInterface* app, const std::string& fileName);
    ~TfrmTypeObject() override;

    std::string FileName;
    int32_t UntitledNumber = 0;
    std::unique_ptr<TTypeObjectData> TypeData;
    std::unique_ptr<TTypeObjectTreeView> TypeTree;
    _TypeTreeContext TreeContext;
    std::unique_ptr<TTypeObjectDataGrid> TypeGrid;
    _TypeGridContext GridContext;
    bool Modified = false;
    _TypeSelection Selection;
    _TypeSelection PreviousSelection;
    int32_t ViewSlot = -1;
    QMenu* EditMenu = nullptr;
    QMenu* TypeEditMenu = nullptr;
    QMenu* TableEditMenu = nullptr;
    QAction *mnuSave, *mnuSaveAs, *mnuPrint, *mnuExport;
    QAction *mnuExportPWX, *mnuExportCSV;
    int32_t CurrentLanguage = 0;
    // The pictures of the tree's items, by node id.
    TImageList TreeImages{TImageList::TKind::TypeTree};

    // Components, by their names.
    QWidget* pnlToolBar;
    QToolBar *toolbarType, *toolbarTable;
    QSplitter* Splitter;
    QWidget* pnlTreeView;
    TTypeTreeWidget* TreeView;
    QLineEdit* edtEditTreeView;
    QComboBox *cmbboxFieldSize, *cmbboxFieldUnits, *cmbboxLanguages;
    QListWidget* chklbEditTreeView;
    QWidget* pnlMain;
    TTypeTabBar* TabControl;
    TTypeGridView* DataGrid;
    QComboBox* cmbboxUnits;
    QFrame* ParamNamePanel;
    QPlainTextEdit* memoParamName;
    QFrame* SwitchNamePanel;
    QPlainTextEdit* memoSwitchName;
    QStatusBar* StatusBar;
    QLabel* StatusPanels[4];
    QMenu *popupmnuType, *popupmnuTable, *mnuLanguage, *mnuViewEditAs, *mnuViewEditAsTable;
    QMenu* mnuExportMenu;
    QAction *actAddTable, *actInsertTable, *actDeleteTable, *actCopyTable, *actPasteTable;
    QAction *actAddField, *actInsertField, *actDeleteField, *actCopyField, *actPasteField;
    QAction *actAddRow, *actInsertRow, *actDeleteRow;
    QAction *actAddParameter, *actInsertParameter, *actDeleteParameter, *actCopyParameter, *actPasteParameter;
    QAction *actLanguage, *actAddLanguage, *actInsertLanguage, *actDeleteLanguage, *actRenameLanguage;
    QAction *actViewEditAs, *actViewEditAsBin, *actViewEditAsDec, *actViewEditAsHex;
    QAction *actDownloadType, *actUploadType;

    void Refresh(bool modified);
    void UpdateStatus(bool modified);
    bool SaveToFile(const std::string& name);
    bool LoadFromFile(const std::string& name);
    bool LoadFromBlocks(TQXBlockMemList& list, bool reset);
    std::string GetDisplayName() const;
    _TypeSelection ReadSelection();
    void SelectInView(const _TypeSelection& selection);
    int32_t GetViewSlot() const;
    void ExpandTree();
    // Closes the in-place editors of the tree and the grid.
    void HideEditors();

    // The Edit menu and the File items in the main window's menus.
    void MergeMenus();
    void UnmergeMenus();
    // Whether the window may close; asks about unsaved changes.
    bool FormCloseQuery();

    // Imports a CSV file into a type window; ask: the window already holds
    // a type. True when something was imported.
    static bool ImportFromCSV(TMDICustomChild* window, const std::string& fileName, bool ask);

public slots:
    void mnuSaveClick();
    void mnuSaveAsClick();
    void mnuPrintClick();
    void mnuExportPWXClick();
    void mnuExportCSVClick();
    // Type PC -> QX and Type QX -> PC.
    void actDownloadTypeExecute();
    void actUploadTypeExecute();
    // Sets the enabled state of every command from the selection.
    void UpdateActions();

    // The structure commands (TypeStructureCommands.cpp).
    void actAddTableExecute();
    void actInsertTableExecute();
    void actDeleteTableExecute();
    void actCopyTableExecute();
    void actPasteTableExecute();
    void actAddFieldExecute();
    void actInsertFieldExecute();
    void actDeleteFieldExecute();
    void actCopyFieldExecute();
    void actPasteFieldExecute();
    void actAddRowExecute();
    void actInsertRowExecute();
    void actDeleteRowExecute();
    void actAddParameterExecute();
    void actInsertParameterExecute();
    void actDeleteParameterExecute();
    void actCopyParameterExecute();
    void actPasteParameterExecute();
    void actAddLanguageExecute();
    void actInsertLanguageExecute();
    void actDeleteLanguageExecute();
    void actRenameLanguageExecute();

public:
    // Asks the name of language i; true when it was given.
    bool RenameLanguage(int32_t language);

protected:
    // Activation and deactivation: the Edit menu and the File items in the
    // main window's menus, the buttons on its tool bars.
    void FormActivate() override;
    void FormDeactivate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The General tool bar's Save and Print buttons while this window has them.
    QMetaObject::Connection GeneralSave, GeneralPrint;
    // The program's focus changes, watched while the window lives.
    QMetaObject::Connection FocusWatch;
    bool Merged = false;

    void BuildActions();
    void BuildMenus();
    void BuildToolBars();
    void BuildViews();
    void BuildTreePane();
    void BuildMainPane();
    QStatusBar* BuildStatusBar(QWidget* form);
    void TranslateTexts();
    void ConnectViews();
    void SizeNameEditors();
    void TreeSelectionChanged();
    void GridSelectionChanged();
    void ApplySelectionKind();
    void TreeContextPopup(const QPoint& pos);
    void GridContextPopup(const QPoint& pos);
    // A tree editor changed the type: the grid shows it too.
    void TreeModified();
    void GridModified() { UpdateStatus(true); }
    // Ctrl+Tab moves the focus tree -> tabs -> grid -> tree.
    bool ApplicationEventsMessage(QKeyEvent* key);
    // The grid's row move ends on any key but Up and Down.
    void RowMoveKey(QKeyEvent* key);
    // Save and Save As; true when the type is on disk.
    bool Save();
    bool SaveAs();
    void RebuildLanguageMenu();
    void LanguageItemClick(int32_t language);
    // The display format of the focused column.
    void ViewEditAs(TDisplayFormat format);
    void BindGeneralButtons();
    void ReleaseGeneralButtons();
    void RestoreMainToolBars();
    bool InsideThisWindow(const QWidget* widget) const;
    // The widget of this window that has the focus, or had it last.
    QWidget* FocusedView() const;
    void FormClose();

    // The structure commands (TypeStructureCommands.cpp).
    void ConnectStructureCommands();
    // What the commands' enabled states depend on, now.
    TTypeCommandState CommandState();
    bool CommandAllowed(TTypeCommand command);
    // Only the active mode's row or parameter commands hold the keys they
    // share.
    void SetModeShortcuts();
    bool AskTableName(std::string& name);
    // The focused view shows what Selection names.
    void Reselect();
    // After a structure change: the views rebuilt, the window modified, the
    // selection the command leaves.
    void RefreshAndReselect(TTypeCommand command);
    // A command on the selected table or on the definition: change returns
    // false when the model refuses; nothing else happens then.
    void ChangeTable(TTypeCommand command, const std::function<bool(TTableData&, const _TypeSelection&)>& change);
    void ChangeDefinition(TTypeCommand command, const std::function<bool(TTypeData6&, const _TypeSelection&)>& change);
    // The clipboard store changed: every type window's commands and status.
    void ClipboardChanged();
};

// Creators. A window whose file or blocks cannot be loaded comes back
// already closing (it frees itself); null when making it failed.
TfrmTypeObject* OpenTypeObject(_AppInterface* app, const std::string& fileName);
TfrmTypeObject* OpenTypeObjectFromBlocks(_AppInterface* app, TQXBlockMemList* list);

// Whether a table name (as it will be stored) may be given to a table of
// the type; an empty name or one another table has is refused with its
// message.
bool TableNameAccepted(QWidget* owner, _AppInterface& app, const TTypeObjectData& type, const std::string& name);

// Registers the type window's creators with the main window.
void RegisterTypeEditor();
