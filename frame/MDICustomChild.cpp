#include "MDICustomChild.h"

#include <QCloseEvent>
#include <QHideEvent>
#include <QShowEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>

#include "Appinterface.h"
#include "ScreenFit.h"

namespace {
constexpr const char* GroupProperty = "GroupIndex";
}

TMDICustomChild::TMDICustomChild(_AppInterface* app) : QMdiSubWindow(nullptr), App(app) {
    setAttribute(Qt::WA_DeleteOnClose);
    if (app && app->MainForm)
        if (auto* area = qobject_cast<QMdiArea*>(app->MainForm->centralWidget())) area->addSubWindow(this);
    // The sub-window reports every change of its active state here, also one
    // while the window is still being built (the focus given to one of its
    // widgets makes it the active one before it is shown): the parts follow
    // once it is shown.
    connect(this, &QMdiSubWindow::windowStateChanged, this, &TMDICustomChild::FollowActivation);
    connect(this, &QMdiSubWindow::windowStateChanged, this, &TMDICustomChild::KeepFocusOnShownWidget);
    // The window's system menu keeps its commands but no keys: Qt gives its
    // Close the platform's close key (Ctrl+W), which is File > Close's, and
    // a key with two owners does nothing.
    if (QMenu* system = systemMenu())
        for (QAction* a : system->actions()) a->setShortcuts({});
}

TMDICustomChild::~TMDICustomChild() { EndActivation(); }

void TMDICustomChild::EndActivation() {
    Ended = true;
    disconnect(this, &QMdiSubWindow::windowStateChanged, this, &TMDICustomChild::FollowActivation);
    disconnect(this, &QMdiSubWindow::windowStateChanged, this, &TMDICustomChild::KeepFocusOnShownWidget);
}

void TMDICustomChild::FollowActivation() {
    QMdiArea* area = mdiArea();
    const bool shown = !Ended && area && isVisible();
    // Losing the active state alone leaves the parts in: the area takes it
    // from its window whenever another program comes to the front, and the
    // window stays its current one until one of ours becomes active. Parts
    // leave when another window takes them (below) or this one hides or
    // closes.
    const bool active = shown && ((windowState() & Qt::WindowActive) || PartsActive);
    if (active == PartsActive) return;
    if (active)
        // One window's parts at a time: those of the window before go first.
        for (QMdiSubWindow* w : area->subWindowList())
            if (auto* other = qobject_cast<TMDICustomChild*>(w); other && other != this && other->PartsActive) {
                other->PartsActive = false;
                other->FormDeactivate();
            }
    PartsActive = active;
    if (active) FormActivate();
    else FormDeactivate();
}

void TMDICustomChild::KeepFocusOnShownWidget() {
    if (!(windowState() & Qt::WindowActive)) return;
    // The sub-window gives its focus once its state has changed.
    QTimer::singleShot(0, this, [this] {
        QWidget* focus = focusWidget();
        if (Ended || !isVisible() || !(windowState() & Qt::WindowActive) || !focus || focus->isVisible()) return;
        for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain())
            if (isAncestorOf(w) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
                w->setFocus(Qt::OtherFocusReason);
                return;
            }
        setFocus(Qt::OtherFocusReason);
    });
}

void TMDICustomChild::showEvent(QShowEvent* event) {
    QMdiSubWindow::showEvent(event);
    if (!event->spontaneous()) KeepInView(this);
    FollowActivation();
}

void TMDICustomChild::hideEvent(QHideEvent* event) {
    QMdiSubWindow::hideEvent(event);
    FollowActivation();
}

void TMDICustomChild::ActivateFrameParts(QMenu* menu, int groupIndex, QToolBar* ownToolBar, int slot) {
    if (!App) return;
    MergeMenu(App->MainMenu, menu, groupIndex);
    if (App->FlexibleToolBars && ownToolBar && slot >= 0 && slot < TAppToolBars::SlotCount) {
        ownToolBar->hide();
        App->ToolBars.Slots[slot].CopyButtonsFrom(ownToolBar);
    }
    App->ToolBars.Slots[0].RestoreDefaultButtons();
    if (widget()) widget()->updateGeometry();
}

void TMDICustomChild::DeactivateFrameParts(QMenu* menu, int slot) {
    if (!App) return;
    UnmergeMenu(App->MainMenu, menu);
    auto* area = App->MainForm ? qobject_cast<QMdiArea*>(App->MainForm->centralWidget()) : nullptr;
    if (!area || area->activeSubWindow() != this) RestoreFrameToolBars(slot);
    if (widget()) widget()->updateGeometry();
}

void TMDICustomChild::ReleaseFrameToolBars(int slot) {
    QMdiSubWindow* active = mdiArea() ? mdiArea()->activeSubWindow() : nullptr;
    if (!active || active == this) RestoreFrameToolBars(slot);
}

void TMDICustomChild::RestoreFrameToolBars(int slot) {
    if (!App) return;
    if (slot >= 0 && slot < TAppToolBars::SlotCount) App->ToolBars.Slots[slot].RestoreDefaultButtons();
    App->ToolBars.Slots[0].RestoreDefaultButtons();
}

bool TMDICustomChild::CloseQuery() { return !OnCloseQuery || OnCloseQuery(); }

void TMDICustomChild::closeEvent(QCloseEvent* event) {
    if (!CloseQuery()) {
        event->ignore();
        return;
    }
    // A closing window takes its parts with it and gets none again; the
    // window that becomes active next gets its own.
    Ended = true;
    QMdiSubWindow::closeEvent(event);
    if (!event->isAccepted()) Ended = false;
    FollowActivation();
}

void SetMenuGroupIndex(QMenu* menu, int groupIndex) { menu->menuAction()->setProperty(GroupProperty, groupIndex); }

int MenuGroupIndex(const QAction* menuAction) {
    const QVariant v = menuAction->property(GroupProperty);
    return v.isValid() ? v.toInt() : 0;
}

void MergeMenu(QMenuBar* bar, QMenu* menu, int groupIndex) {
    if (!bar || !menu) return;
    SetMenuGroupIndex(menu, groupIndex);
    QAction* own = menu->menuAction();
    if (bar->actions().contains(own)) return;
    QAction* before = nullptr;
    for (QAction* a : bar->actions())
        if (MenuGroupIndex(a) > groupIndex) {
            before = a;
            break;
        }
    bar->insertAction(before, own);
}

void UnmergeMenu(QMenuBar* bar, QMenu* menu) {
    if (bar && menu && bar->actions().contains(menu->menuAction())) bar->removeAction(menu->menuAction());
}

TDocumentCreators& DocumentCreators() {
    static TDocumentCreators creators;
    return creators;
}

TMDICustomChild* OpenWindow(const QPointer<TMDICustomChild>& window) {
    if (!window || window->isHidden()) return nullptr;
    return window.data();
}

TActionOptions TMDICustomChild::ActionOptions(const char* caption, int image, const QKeySequence& key) const {
    return TActionOptions(caption)
        .Image(App ? App->ActionImages : nullptr, image)
        .Shortcut(key)
        .Context(Qt::WidgetWithChildrenShortcut);
}
