// The eight main-window tool bars. Each slot keeps a hidden backup of its
// tool bar's default buttons, so that they can be put back when no document
// window of that kind is active, and a saved state (visibility, floating,
// position, dock site) that the settings file keeps in section 0x1017.
//
// A button of a tool bar is an action in it; copying buttons makes the
// destination show the source's actions (with their texts, hints, enabled
// states, images and handlers).
#pragma once

#include <QMainWindow>
#include <QToolBar>
#include <array>
#include <cstdint>
#include <memory>

#include "SettingsFile.h"

class THdrObj;

// A dock site: one tool-bar area of the main window.
struct TDockSite {
    QMainWindow* Window = nullptr;
    Qt::ToolBarArea Area = Qt::NoToolBarArea;
    bool Empty() const { return Window == nullptr; }
};

constexpr int DockSiteCount = 4;
// Rows of a dock site are this many pixels apart in the saved tops.
constexpr int DockRowSize = 26;

// Makes destination show the source's buttons, in order.
void CopyToolButtons(QToolBar* destination, QToolBar* source);

class TAppToolBar {
public:
    TAppToolBar() = default;
    TAppToolBar(const TAppToolBar&) = delete;
    TAppToolBar& operator=(const TAppToolBar&) = delete;

    // Binds the tool bar and takes a hidden backup of its buttons.
    void Bind(QToolBar* toolBar);
    void RestoreDefaultButtons();
    void CopyButtonsFrom(QToolBar* toolBar);
    // The button at index, or null.
    QAction* GetButton(int index) const;
    void SaveState();
    void RestoreState();

    QToolBar* GetToolBar() const { return ToolBar; }
    QToolBar* GetBackup() const { return Backup.get(); }

    TToolBarState State;
    std::array<TDockSite, DockSiteCount>* DockSites = nullptr;

private:
    std::unique_ptr<QToolBar> Backup;
    QToolBar* ToolBar = nullptr;
};

class TAppToolBars {
public:
    static constexpr int SlotCount = ToolBarSlotCount;
    static constexpr uint16_t SectionId = SectToolBars;
    static constexpr size_t SectionSize = ToolBarSectionSize;

    TAppToolBars();

    void SaveAll();
    void RestoreAll();
    int SaveTo(THdrObj& container) const;
    bool LoadFrom(THdrObj& container);

    // The docking events of the tool-bar areas.
    void DockDrop(QToolBar* toolBar, Qt::ToolBarArea area);
    void DockOver(QToolBar* toolBar, Qt::ToolBarArea area, QSize& outline) const;
    void UnDock(QToolBar* toolBar);

    // The tool bar's width or height from its buttons: horizontal: the sum of
    // the button widths + 1 by the button height; vertical: the button width
    // by the sum of the button heights + 1.
    static QSize SizeFromButtons(QToolBar* toolBar, bool vertical);

    bool IsBound(const QToolBar* toolBar) const;

    std::array<TAppToolBar, SlotCount> Slots;
    std::array<TDockSite, DockSiteCount> DockSites;
};
