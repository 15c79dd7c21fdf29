#include "MDICustomChild.h"

#include <QCloseEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>

#include "Appinterface.h"

namespace {
constexpr const char* GroupProperty = "GroupIndex";
}

TMDICustomChild::TMDICustomChild(_AppInterface* app) : QMdiSubWindow(nullptr), App(app) {
    setAttribute(Qt::WA_DeleteOnClose);
    if (app && app->MainForm)
        if (auto* area = qobject_cast<QMdiArea*>(app->MainForm->centralWidget())) area->addSubWindow(this);
}

bool TMDICustomChild::CloseQuery() { return !OnCloseQuery || OnCloseQuery(); }

void TMDICustomChild::closeEvent(QCloseEvent* event) {
    if (!CloseQuery()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
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
