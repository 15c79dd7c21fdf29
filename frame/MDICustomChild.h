// The base of every document window inside the main window: it gives the
// window the application record and a kind code by which the main window
// finds, counts, reopens and closes document windows. A document window
// frees itself when it is closed.
//
// The base also decides when a window's own parts (its menu, its File
// items, its tool-bar buttons) stand in the main window: from the moment
// the shown window becomes the main window's active document window,
// however it came to be (made by any creator, activated through the Window
// menu or a click, the active window closed so that this one follows),
// until another document window becomes active or this one hides or
// closes. Another program in front does not take them out: the document
// area then has no active window, but its current one stays the same. A
// window that became active while it was still being built gets its parts
// when it is shown. The window says what its parts are in its own
// FormActivate and FormDeactivate, which the base calls; a window calls
// FormActivate itself only to renew parts that are in (FramePartsActive).
#pragma once

#include <QMdiSubWindow>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <string>

#include "Actions.h"

struct _AppInterface;
class QMenu;
class QMenuBar;
class QToolBar;

enum : uint32_t {
    KindTypeObject = 0x3000,
    KindProgramManager = 0x4000,
    KindMemoryManager = 0x5000,
    KindMemoryViewer = 0x6000,
    KindQXMenu = 0x7000,
    KindGamesManager = 0x8000,
    KindConvert = 0x9000,
};

class TMDICustomChild : public QMdiSubWindow {
    Q_OBJECT
public:
    // Creates the window inside the record's main window.
    explicit TMDICustomChild(_AppInterface* app);
    ~TMDICustomChild() override;
    void SetKind(uint32_t kind) { Kind = kind; }
    uint32_t GetKind() const { return Kind; }

    // Steps of the common protocol that every document window runs from its
    // own handlers. slot: its main-window tool bar (TAppToolBars), -1 none.
    // Activation: its menu joins the main menu by its group index; with
    // flexible tool bars its own tool bar hides and lends its buttons to the
    // main-window tool bar of the slot; General gets its default buttons.
    void ActivateFrameParts(QMenu* menu, int groupIndex, QToolBar* ownToolBar, int slot);
    // Deactivation: the menu leaves the main menu; when no window is active
    // any more (or another one), the slot and General get their defaults.
    void DeactivateFrameParts(QMenu* menu, int slot);
    // Close: the slot and General get their default buttons.
    void RestoreFrameToolBars(int slot);
    // Close of a window that may not be the active one: only the active
    // window (or the last one, when none is active) gives the slot and
    // General their defaults back; a window in the background leaves the
    // active window's buttons where they are.
    void ReleaseFrameToolBars(int slot);

    // Asks whether the window may close (unsaved changes); empty: it may.
    // The main window asks every document window before it closes.
    bool CloseQuery();
    std::function<bool()> OnCloseQuery;

    // Whether the window's parts stand in the main window now.
    bool FramePartsActive() const { return PartsActive; }

    _AppInterface* App;
    uint32_t Kind = 0;

protected:
    // The options of an action of the window: caption, picture of the action
    // images (none when negative) and shortcut (none when empty), which works
    // while the focus is inside the window.
    TActionOptions ActionOptions(const char* caption, int image, const QKeySequence& key = {}) const;
    // The window's parts go into the main window: it has become the active
    // document window. Another window's parts have left it before.
    virtual void FormActivate() {}
    // The window's parts leave the main window: another window becomes the
    // active one, or this one closes or hides.
    virtual void FormDeactivate() {}
    // Called first by the destructor of a window whose handlers use its own
    // objects: nothing more comes to FormActivate and FormDeactivate (the
    // sub-window still changes its state while it is destroyed). What of the
    // parts is still in the main window then, the destructor takes out.
    void EndActivation();

    void closeEvent(QCloseEvent* event) override;
    // A document window is shown fully inside the document area.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool PartsActive = false;
    bool Ended = false;  // closing or being destroyed
    // Gives the window its parts or takes them away, as its state asks.
    void FollowActivation();
    // An active window whose keyboard focus is on a hidden widget (a panel
    // shown only on demand) gives it to its first shown widget that takes
    // the focus: keys go nowhere else, and when the application becomes
    // active again the focus, and with it the active window, stays here.
    void KeepFocusOnShownWidget();
};

// The main window's menus carry a group index; a document window's menu is
// inserted before the first main menu of a higher group while the window
// is active, and removed again when it is deactivated.
void SetMenuGroupIndex(QMenu* menu, int groupIndex);
int MenuGroupIndex(const QAction* menuAction);
void MergeMenu(QMenuBar* bar, QMenu* menu, int groupIndex);
void UnmergeMenu(QMenuBar* bar, QMenu* menu);

// The creators of the document windows, registered by the folders that
// build them. A creator returns its new window; a window whose file could
// not be loaded may come back already closing (it frees itself), so callers
// keep it only through a QPointer and only while it is visible.
struct TDocumentCreators {
    using TFileCreator = std::function<TMDICustomChild*(_AppInterface*, const std::string&)>;
    using TCreator = std::function<TMDICustomChild*(_AppInterface*)>;
    TFileCreator OpenTypeObject;  // empty name: a new type
    TFileCreator OpenQXMenu;      // empty name: a new menu
    TCreator OpenProgramManager;
    TCreator OpenManager;
    TCreator OpenMemView;
    TCreator OpenGamesManager;
    TCreator OpenConvert;
    // Imports a CSV file into a type window; ask: let the user choose what.
    std::function<bool(TMDICustomChild*, const std::string&, bool)> ImportFromCSV;
    // Refreshes the four shortcut buttons of a Program Manager.
    std::function<void(TMDICustomChild*)> UpdateShortcutButtons;
};

TDocumentCreators& DocumentCreators();

// The window when it is still there and not closing, else null.
TMDICustomChild* OpenWindow(const QPointer<TMDICustomChild>& window);
