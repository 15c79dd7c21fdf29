#include "MDICustomChild.h"

#include <QCloseEvent>
#include <QShowEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
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
    QMdiSubWindow::closeEvent(event);
}

void TMDICustomChild::showEvent(QShowEvent* event) {
    QMdiSubWindow::showEvent(event);
    if (!event->spontaneous()) KeepInView(this);
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
