#include "RecentFiles.h"

#include <QPointer>

#include "Bytes.h"
#include "QtText.h"
#include "Thdrobj.h"

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

std::vector<uint8_t> TRecentFiles::SectionBytes() const {
    std::vector<uint8_t> bytes;
    PutNulTexts(bytes, Slots.data(), Slots.size());
    return bytes;
}

int TRecentFiles::SaveTo(THdrObj& container) const {
    const auto bytes = SectionBytes();
    return container.WriteSection(SectionId, 0, static_cast<uint32_t>(bytes.size()), bytes.data());
}

bool TRecentFiles::LoadFrom(THdrObj& container) {
    uint32_t size = 0;
    const auto bytes = container.FindSection(SectionId, 0) >= 0 ? container.ReadSectionAlloc(SectionId, 0, &size)
                                                                : nullptr;
    for (auto& slot : Slots) slot.clear();
    if (bytes) GetNulTexts(bytes.get(), size, Slots.data(), Slots.size());
    Rebuild();
    return bytes != nullptr;
}
