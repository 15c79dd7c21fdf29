#include "RecentFiles.h"

#include <QPointer>

#include "QtText.h"

TRecentFiles::~TRecentFiles() { Clear(); }

void TRecentFiles::Add(const std::string* name) {
    if (name)
        for (auto& slot : Slots)
            if (slot == *name) slot.clear();
    // One pass closes one gap.
    for (int i = 0; i < SlotCount - 1; ++i)
        if (Slots[i].empty()) {
            Slots[i] = std::move(Slots[i + 1]);
            Slots[i + 1].clear();
        }
    if (name) {
        for (int i = SlotCount - 2; i >= 0; --i)
            if (!Slots[i].empty()) {
                Slots[i + 1] = std::move(Slots[i]);
                Slots[i].clear();
            }
        Slots[0] = *name;
    }
    Rebuild();
}

void TRecentFiles::Clear() {
    for (auto& slot : Slots) slot.clear();
    Rebuild();
}

void TRecentFiles::SetNames(const TRecentNames& names) {
    Slots = names;
    Rebuild();
}

void TRecentFiles::SetMenu(QMenu* submenu, TClickHandler onClick) {
    Submenu = submenu;
    OnClick = std::move(onClick);
    Rebuild();
}

std::string TRecentFiles::ItemFileName(const QAction* item) {
    return item ? item->data().toByteArray().toStdString() : std::string();
}

void TRecentFiles::Rebuild() {
    if (!Submenu) return;
    Submenu->clear();
    Submenu->setEnabled(false);
    Submenu->menuAction()->setEnabled(false);
    for (const auto& name : Slots) {
        if (name.empty()) continue;
        QString caption = QFileName(name);
        caption.replace('&', QStringLiteral("&&"));  // no accelerator characters
        QAction* item = Submenu->addAction(caption);
        item->setData(QByteArray::fromStdString(name));
        QPointer<QAction> guard(item);
        QObject::connect(item, &QAction::triggered, Submenu, [this, guard] {
            if (guard && OnClick) OnClick(guard);
        });
        Submenu->setEnabled(true);
        Submenu->menuAction()->setEnabled(true);
    }
}

std::vector<uint8_t> TRecentFiles::SectionBytes() const { return RecentFilesBytes(Slots); }

int TRecentFiles::SaveTo(THdrObj& container) const { return WriteRecentFilesSection(container, Slots); }

bool TRecentFiles::LoadFrom(THdrObj& container) {
    const bool found = ReadRecentFilesSection(container, Slots);
    Rebuild();
    return found;
}
