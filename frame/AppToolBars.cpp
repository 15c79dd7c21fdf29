#include "AppToolBars.h"

#include <QToolButton>
#include <algorithm>
#include <map>
#include <tuple>
#include <vector>


void CopyToolButtons(QToolBar* destination, QToolBar* source) {
    if (!destination || !source || destination == source) return;
    const QList<QAction*> actions = source->actions();
    destination->clear();
    destination->addActions(actions);
}

void TAppToolBar::Bind(QToolBar* toolBar) {
    Backup.reset();
    ToolBar = toolBar;
    if (!toolBar) return;
    Backup = std::make_unique<QToolBar>(toolBar->parentWidget());
    Backup->setObjectName(toolBar->objectName() + "Backup");
    Backup->hide();
    Backup->addActions(toolBar->actions());
}

void TAppToolBar::RestoreDefaultButtons() {
    if (ToolBar && Backup) CopyToolButtons(ToolBar, Backup.get());
}

void TAppToolBar::CopyButtonsFrom(QToolBar* toolBar) {
    if (ToolBar && toolBar) CopyToolButtons(ToolBar, toolBar);
}

QAction* TAppToolBar::GetButton(int index) const {
    if (!ToolBar) return nullptr;
    const QList<QAction*> actions = ToolBar->actions();
    if (index < 0 || index >= actions.size()) return nullptr;
    return actions[index];
}

namespace {

QMainWindow* FrameOf(QToolBar* toolBar) { return qobject_cast<QMainWindow*>(toolBar->parentWidget()); }

// The top-left corner of the visible tool bars docked in the area.
QPoint AreaOrigin(QMainWindow* frame, Qt::ToolBarArea area) {
    QPoint origin(INT32_MAX, INT32_MAX);
    for (QToolBar* t : frame->findChildren<QToolBar*>(Qt::FindDirectChildrenOnly)) {
        if (t->isHidden() || t->isFloating() || frame->toolBarArea(t) != area) continue;
        origin.setX(std::min(origin.x(), t->x()));
        origin.setY(std::min(origin.y(), t->y()));
    }
    return origin;
}

void Float(QToolBar* toolBar, const QRect& rect) {
    // What the tool bar does itself when the user pulls it out of its area.
    const bool visible = !toolBar->isHidden();
    toolBar->hide();
    toolBar->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    toolBar->adjustSize();
    toolBar->setGeometry(QRect(rect.topLeft(), toolBar->sizeHint()));
    if (visible) toolBar->show();
}

}  // namespace

void TAppToolBar::SaveState() {
    if (!ToolBar) return;
    QMainWindow* frame = FrameOf(ToolBar);
    State.Visible = !ToolBar->isHidden();
    State.Floating = ToolBar->isFloating();
    State.DockSite = -1;
    const Qt::ToolBarArea area = frame && !ToolBar->isFloating() ? frame->toolBarArea(ToolBar) : Qt::NoToolBarArea;
    if (DockSites)
        for (int i = 0; i < DockSiteCount; ++i)
            if ((*DockSites)[i].Window == frame && frame && (*DockSites)[i].Area == area) State.DockSite = i;
    if (State.Floating) {
        const QRect r = ToolBar->frameGeometry();
        State.Left = r.left();
        State.Top = r.top();
        State.Right = r.left() + r.width();
        State.Bottom = r.top() + r.height();
        return;
    }
    // A window that was never shown has no layout yet: the positions read
    // at start-up stand.
    if (frame && frame->isVisible() && !ToolBar->isHidden()) {
        const QPoint origin = AreaOrigin(frame, area);
        State.Left = ToolBar->x() - origin.x();
        State.Top = ToolBar->y() - origin.y();
    }
    State.Right = 100;
    State.Bottom = 100;
}

void TAppToolBar::RestoreState() {
    if (!ToolBar) return;
    if (State.Floating) {
        Float(ToolBar, QRect(QPoint(State.Left, State.Top), QPoint(State.Right - 1, State.Bottom - 1)));
    } else {
        const bool known = DockSites && State.DockSite >= 0 && State.DockSite < DockSiteCount &&
                           !(*DockSites)[State.DockSite].Empty();
        // A tool bar of no registered site goes into the main window's top
        // area, where the user finds it again.
        QMainWindow* frame = known ? (*DockSites)[State.DockSite].Window : FrameOf(ToolBar);
        const Qt::ToolBarArea area = known ? (*DockSites)[State.DockSite].Area : Qt::TopToolBarArea;
        if (frame) frame->addToolBar(area, ToolBar);
    }
    ToolBar->setVisible(State.Visible != 0);
}

TAppToolBars::TAppToolBars() {
    const auto defaults = DefaultToolBarStates();
    for (int i = 0; i < SlotCount; ++i) {
        Slots[i].State = defaults[i];
        Slots[i].DockSites = &DockSites;
    }
}

void TAppToolBars::SaveAll() {
    for (auto& slot : Slots) slot.SaveState();
}

void TAppToolBars::RestoreAll() {
    // Docked tool bars are laid out row by row (rows DockRowSize apart),
    // each row from left to right, so that their order survives a restart.
    struct Docked {
        int Site, Row, Left, Slot;
    };
    std::vector<Docked> docked;
    for (int i = 0; i < SlotCount; ++i) {
        TAppToolBar& slot = Slots[i];
        if (!slot.GetToolBar()) continue;
        if (slot.State.Floating) {
            slot.RestoreState();
            continue;
        }
        const int site = slot.State.DockSite >= 0 && slot.State.DockSite < DockSiteCount &&
                                 !DockSites[slot.State.DockSite].Empty()
                             ? slot.State.DockSite
                             : 0;
        docked.push_back({site, std::max(0, slot.State.Top) / DockRowSize, slot.State.Left, i});
    }
    std::stable_sort(docked.begin(), docked.end(), [](const Docked& a, const Docked& b) {
        return std::tie(a.Site, a.Row, a.Left) < std::tie(b.Site, b.Row, b.Left);
    });
    std::map<int, int> lastRow;  // per site
    for (const Docked& d : docked) {
        TAppToolBar& slot = Slots[d.Slot];
        const bool known = !DockSites[d.Site].Empty();
        QMainWindow* frame = known ? DockSites[d.Site].Window : FrameOf(slot.GetToolBar());
        const Qt::ToolBarArea area = known ? DockSites[d.Site].Area : Qt::TopToolBarArea;
        auto it = lastRow.find(d.Site);
        if (frame && it != lastRow.end() && it->second != d.Row) frame->addToolBarBreak(area);
        lastRow[d.Site] = d.Row;
        slot.RestoreState();
    }
}

int TAppToolBars::SaveTo(THdrObj& container) const {
    std::array<TToolBarState, SlotCount> states;
    for (int i = 0; i < SlotCount; ++i) states[i] = Slots[i].State;
    return WriteToolBarSection(container, states);
}

bool TAppToolBars::LoadFrom(THdrObj& container) {
    std::array<TToolBarState, SlotCount> states;
    if (!ReadToolBarSection(container, states)) return false;
    for (int i = 0; i < SlotCount; ++i) Slots[i].State = states[i];
    return true;
}

bool TAppToolBars::IsBound(const QToolBar* toolBar) const {
    return toolBar && std::any_of(Slots.begin(), Slots.end(), [&](const TAppToolBar& s) { return s.GetToolBar() == toolBar; });
}

QSize TAppToolBars::SizeFromButtons(QToolBar* toolBar, bool vertical) {
    int sum = 0, across = 0;
    for (QAction* a : toolBar->actions()) {
        QWidget* w = toolBar->widgetForAction(a);
        if (!w || w->isHidden()) continue;
        const QSize s = w->sizeHint();
        sum += vertical ? s.height() : s.width();
        across = std::max(across, vertical ? s.width() : s.height());
    }
    return vertical ? QSize(across, sum + 1) : QSize(sum + 1, across);
}

void TAppToolBars::DockDrop(QToolBar* toolBar, Qt::ToolBarArea area) {
    if (!IsBound(toolBar)) return;
    const bool vertical = area == Qt::LeftToolBarArea || area == Qt::RightToolBarArea;
    toolBar->setOrientation(vertical ? Qt::Vertical : Qt::Horizontal);
    toolBar->resize(SizeFromButtons(toolBar, vertical));
}

void TAppToolBars::DockOver(QToolBar* toolBar, Qt::ToolBarArea area, QSize& outline) const {
    if (!IsBound(toolBar)) return;
    outline = SizeFromButtons(toolBar, area == Qt::LeftToolBarArea || area == Qt::RightToolBarArea);
}

void TAppToolBars::UnDock(QToolBar* toolBar) {
    if (!IsBound(toolBar)) return;
    toolBar->setOrientation(Qt::Horizontal);
    toolBar->adjustSize();
}
