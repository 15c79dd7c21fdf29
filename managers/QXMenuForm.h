// The menu editor: a document window over one menu of the unit (a .mnu
// file). The item tree shows a name per menu language and each item's
// visibility; a help text per item, the information/notification (InfNot)
// items with their ranges and texts, and the menu languages are edited
// beside it. The edited menu is linked to the default menu beside the
// program, so that the original names can be shown and every structural
// change keeps both numbered alike. Expert mode only.
// QXMenuForm.cpp builds the window and runs its commands; the InfNot grid
// is in QXMenuInfNot.cpp, the name editing in QXMenuNames.cpp.
#pragma once

#include <QPointer>
#include <QStyledItemDelegate>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "MDICustomChild.h"
#include "QXMenu.h"

class QAction;
class QActionGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QTableWidget;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class TTreeWidgetNodes;
class TfrmQXMenu;

// The InfNot grid's cell editor: an edit is applied once, when it ends, and
// only when its text was changed or it was started empty (Delete key).
class TInfNotCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TInfNotCellDelegate(TfrmQXMenu* form);
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    // The editor open now, or null.
    QWidget* OpenEditor() const { return Editor; }

private:
    TfrmQXMenu* Form;
    mutable QPointer<QWidget> Editor;
    mutable bool Changed = false;
};

class TfrmQXMenu : public TMDICustomChild {
    Q_OBJECT
public:
    // An error during construction frees what was made and passes on.
    TfrmQXMenu(_AppInterface* app, const std::string& fileName);
    ~TfrmQXMenu() override;  // FormDestroy

    // Fields of the window.
    std::unique_ptr<TQXMenuData> DefaultMenu;  // declared first: the edited menu links to it
    std::unique_ptr<TQXMenuData> EditedMenu;
    int32_t TextLanguage = -1;
    std::string FileName;
    int32_t UntitledNumber = 0;
    std::string DefaultMenuPath;
    uint8_t Modified = 0;
    int32_t SelectedLanguage = -1;
    int32_t SelectedItem = -1;
    int32_t SelectedInfNot = 0;
    int32_t EditItem = -1;
    int32_t EditLanguage = -1;
    uint8_t StartEmptyCellEdit = 0;
    std::string CellEditText;
    uint8_t StructureConfirmed = 0;

    // Components, by their names.
    QWidget* pnlContent;
    QToolBar* toolbarQXMenu;
    QStatusBar* StatusBar;
    QLabel* StatusPanel0;
    QLabel* StatusPanel1;
    QSplitter* SplitterLanguages;
    QGroupBox* grpboxLanguages;
    QListWidget* listboxLanguages;
    QTabWidget* PageControl;
    QWidget* tabsheetMenuItems;
    QWidget* tabsheetInfNotItems;
    QSplitter* SplitterMenuItemsHelp;
    QWidget* pnlTreeView;
    QTreeWidget* treeviewMenuItemsStructure;
    QLineEdit* edtMenuItemName;
    QGroupBox* grpboxMenuItemsHelp;
    QPlainTextEdit* memoMenuItemsHelp;
    QTableWidget* strgrdInfNotData;
    QMenu* popupmnuEdit;  // EditMenuItem: "&Edit", group index 1
    QAction* SaveMenuItem;
    QAction* SaveAsMenuItem;
    QAction *actQXSynchronization, *actDefaultMenu, *actAddLanguage, *actInsertLanguage, *actDeleteLanguage,
        *actRenameLanguage, *actAddMenuItem, *actAddChildMenuItem, *actInsertMenuItem, *actDeleteMenuItem,
        *actToggleVisible, *actAddInfNotItem, *actInsertInfNotItem, *actDeleteInfNotItem, *actShowOrgName,
        *actMenuConfig;

    bool LoadMenu(const std::string& fileName);
    std::string GetTitle() const;
    void UpdateStatus(bool setModified);
    void RefreshAll();
    void RefreshLanguageList();
    void RefreshTreeView();
    void RefreshInfNotGrid();
    // True when the menu was written.
    bool SaveMenu();
    bool SaveMenuAs();
    bool SaveMenuTo(const std::string& fileName);
    bool ConfirmStructureChange();
    // Ends a name edit or a cell edit in progress.
    void EndEdits();
    // Once shown: grows the window to what its texts need.
    void GrowToTexts();
    // Refreshes the enabled and checked states of the actions.
    void UpdateActions();
    // The text column of the InfNot grid (3 with the original texts shown).
    int TextColumn() const;
    // The window's own state images of the tree: 1 visible, 2 hidden.
    static QIcon StateImage(int32_t index);

    // Called by the cell editor: may an edit start in the cell (grid row,
    // column as the grid counts them, the header row being row 0)?
    bool strgrdInfNotDataGetEditText(int column, int row);
    // Called by the cell editor when an edit ends with a change.
    void ApplyCellEdit(int column, int row, const std::string& text);
    // The characters the cell editor takes: a text as long as the item keeps
    // it (its field, and its range less the terminator); 0: no limit.
    int CellMaxLength(int column, int row) const;

public slots:
    bool FormCloseQuery();
    void FormClose();
    void listboxLanguagesClick();
    void listboxLanguagesDblClick();
    void treeviewMenuItemsStructureChange();
    void treeviewMenuItemsStructureDblClick();
    void edtMenuItemNameExit();
    void memoMenuItemsHelpChange();
    void strgrdInfNotDataClick();
    void actQXSynchronizationExecute();
    void actDefaultMenuExecute();
    void actAddLanguageExecute();
    void actInsertLanguageExecute();
    void actDeleteLanguageExecute();
    void actRenameLanguageExecute();
    void actAddMenuItemExecute();
    void actAddChildMenuItemExecute();
    void actInsertMenuItemExecute();
    void actDeleteMenuItemExecute();
    void actToggleVisibleExecute();
    void actAddInfNotItemExecute();
    void actInsertInfNotItemExecute();
    void actDeleteInfNotItemExecute();
    void actShowOrgNameExecute();
    void actMenuConfigExecute();

protected:
    // Activation: the Edit menu, Save and Save As in the main window's menus,
    // the General tool bar's Save button saves this menu.
    void FormActivate() override;
    void FormDeactivate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<TTreeWidgetNodes> TreeNodes;
    TInfNotCellDelegate* CellDelegate;
    QMetaObject::Connection SaveButtonBinding;
    bool ShowingHelp = false;
    QString HelpShown;          // the help memo's text before its last change
    std::string HelpAtFocus;    // the item's help when the memo took the focus (Esc puts it back)
    int32_t HelpItem = -1, HelpLanguage = -1;

    void BuildComponents();
    void RunItemCommand(const std::function<bool(int32_t)>& can, uint32_t refusal,
                        const std::function<void(int32_t)>& change, const std::function<int32_t()>& selectAfter,
                        int32_t argument);
    void NewMenu();
    void ShowItemHelp();
    void SelectTreeItem(int32_t item);
    void StartNameEdit(int how, const QString& typed = {});
    void EndNameEdit(bool restore);
    bool treeviewMenuItemsStructureKeyDown(QKeyEvent* key);
    void treeviewMenuItemsStructureMouseDown(QMouseEvent* mouse);
    bool strgrdInfNotDataKeyDown(QKeyEvent* key);
    bool memoMenuItemsHelpKeyDown(QKeyEvent* key);
    void SetCell(int row, int column, const std::string& text);
    void ReleaseSaveButton();
    bool NameEditVisible() const;
};

// Creates a menu window for the file (empty: a new menu from the default
// menu). A window whose file cannot be loaded closes itself at once.
TfrmQXMenu* OpenQXMenu(_AppInterface* app, const std::string& fileName);

// Registers OpenQXMenu with the main window's document creators.
void RegisterQXMenuEditor();
