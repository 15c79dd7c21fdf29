// The five most recently opened files, newest first, shown as the items of
// the "Open Recent" submenu and kept in settings section 0x0101: the five
// names one after the other, each followed by one NUL (an empty slot is a
// lone NUL). Names are file-system bytes.
#pragma once

#include <QMenu>
#include <QPointer>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "SettingsFile.h"

class THdrObj;

class TRecentFiles {
public:
    static constexpr int SlotCount = RecentFileCount;
    static constexpr uint16_t SectionId = SectRecentFiles;
    // The item clicked; its file name is ItemFileName(item).
    using TClickHandler = std::function<void(QAction*)>;

    TRecentFiles() = default;
    ~TRecentFiles();
    TRecentFiles(const TRecentFiles&) = delete;
    TRecentFiles& operator=(const TRecentFiles&) = delete;

    // Puts the name at the top; null only closes one gap and rebuilds.
    void Add(const std::string* name);
    void Add(const std::string& name) { Add(&name); }
    void Clear();
    // The names as the settings file gave them; the menu follows.
    void SetNames(const TRecentNames& names);
    void SetMenu(QMenu* submenu, TClickHandler onClick);
    int SaveTo(THdrObj& container) const;
    bool LoadFrom(THdrObj& container);

    std::vector<uint8_t> SectionBytes() const;
    const TRecentNames& Names() const { return Slots; }
    static std::string ItemFileName(const QAction* item);

private:
    TRecentNames Slots;
    QPointer<QMenu> Submenu;
    TClickHandler OnClick;

    void Rebuild();
};
