#include "ManagerChild.h"

#include <QCloseEvent>
#include <QLayout>

#include "Appinterface.h"

TManagerChild::TManagerChild(_AppInterface* app, uint32_t kind, int placement, int slot)
    : TMDICustomChild(app), Placement(placement), Slot(slot) {
    SetKind(kind);
    OnCloseQuery = [this] { return FormCloseQuery(); };
}

TManagerChild::~TManagerChild() { EndActivation(); }

void TManagerChild::RestorePlacement() {
    if (App && Placement >= 0) RestoreWindowPlacement(this, App->WindowPlacements[Placement]);
}

void TManagerChild::GrowToContent(QSize designed) {
    QSize need = designed;
    if (QWidget* content = widget()) {
        QSize frame;
        if (layout()) {
            const QMargins m = layout()->contentsMargins();
            frame = QSize(m.left() + m.right(), m.top() + m.bottom());
        }
        need = need.expandedTo(content->minimumSizeHint() + frame);
    }
    setMinimumSize(need);
}

void TManagerChild::FormActivate() { ActivateFrameParts(OwnMenu, 1, OwnToolBar, Slot); }

void TManagerChild::FormDeactivate() { DeactivateFrameParts(OwnMenu, Slot); }

bool TManagerChild::FormCloseQuery() {
    if (App && Placement >= 0) SaveWindowPlacement(App->WindowPlacements[Placement], this);
    return true;
}

void TManagerChild::FormClose() {
    if (App && App->MainMenu && OwnMenu) UnmergeMenu(App->MainMenu, OwnMenu);
    ReleaseFrameToolBars(Slot);
}

void TManagerChild::closeEvent(QCloseEvent* event) {
    TMDICustomChild::closeEvent(event);
    if (event->isAccepted()) FormClose();
}

