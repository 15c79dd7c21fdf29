#include "TreeWidgetNodes.h"

#include <QPainter>
#include <QPixmap>

#include "QtTexts.h"

TTreeWidgetNodes::TTreeWidgetNodes(QTreeWidget* tree, TIconProvider images, TIconProvider stateImages)
    : TreeWidget(tree), Images(std::move(images)), StateImages(std::move(stateImages)) {
    if (StateImages) TreeWidget->setIconSize(QSize(StateWidth + Gap + 16, 16));
}

TTreeWidgetItem* TTreeWidgetNodes::Make(TNodeExt* node, const std::string& text, int32_t imageIndex) {
    auto* item = new TTreeWidgetItem(node);
    item->setText(0, QStringFromCp1252(text));
    // With state images the owner gives every image through SetImages.
    if (!StateImages) {
        item->ImageIndex = imageIndex;
        ShowIcon(item);
    }
    return item;
}

TTreeNode* TTreeWidgetNodes::AddTopLevel(TNodeExt* node, const std::string& text, int32_t imageIndex) {
    TTreeWidgetItem* item = Make(node, text, imageIndex);
    TreeWidget->addTopLevelItem(item);
    return item;
}

TTreeNode* TTreeWidgetNodes::AddChild(TTreeNode* parent, TNodeExt* node, const std::string& text,
                                      int32_t imageIndex) {
    auto* under = dynamic_cast<TTreeWidgetItem*>(parent);
    TTreeWidgetItem* item = Make(node, text, imageIndex);
    if (under) under->addChild(item);
    else TreeWidget->addTopLevelItem(item);
    return item;
}

TTreeNode* TTreeWidgetNodes::InsertBefore(TTreeNode* sibling, TNodeExt* node, const std::string& text,
                                          int32_t imageIndex) {
    auto* before = dynamic_cast<TTreeWidgetItem*>(sibling);
    TTreeWidgetItem* item = Make(node, text, imageIndex);
    if (!before) {
        TreeWidget->addTopLevelItem(item);
    } else if (QTreeWidgetItem* parent = before->parent()) {
        parent->insertChild(parent->indexOfChild(before), item);
    } else {
        TreeWidget->insertTopLevelItem(TreeWidget->indexOfTopLevelItem(before), item);
    }
    return item;
}

void TTreeWidgetNodes::Update(TTreeNode* node, const std::string& text, int32_t imageIndex) {
    auto* item = dynamic_cast<TTreeWidgetItem*>(node);
    if (!item) return;
    const QString label = QStringFromCp1252(text);
    if (item->text(0) != label) item->setText(0, label);
    if (!StateImages && item->ImageIndex != imageIndex) {
        item->ImageIndex = imageIndex;
        ShowIcon(item);
    }
}

void TTreeWidgetNodes::SetImages(TTreeNode* node, int32_t imageIndex, int32_t stateImageIndex) {
    auto* item = dynamic_cast<TTreeWidgetItem*>(node);
    if (!item || (item->ImageIndex == imageIndex && item->StateImageIndex == stateImageIndex)) return;
    item->ImageIndex = imageIndex;
    item->StateImageIndex = stateImageIndex;
    ShowIcon(item);
}

void TTreeWidgetNodes::Delete(TTreeNode* node) { delete dynamic_cast<TTreeWidgetItem*>(node); }

void TTreeWidgetNodes::ShowIcon(TTreeWidgetItem* item) {
    if (!StateImages) {
        item->setIcon(0, Images ? Images(item->ImageIndex) : QIcon());
        return;
    }
    const auto key = std::make_pair(item->ImageIndex, item->StateImageIndex);
    auto found = Composed.find(key);
    if (found == Composed.end()) {
        // The state image first, then the item's own image, in one icon.
        QPixmap both(StateWidth + Gap + 16, 16);
        both.fill(Qt::transparent);
        QPainter painter(&both);
        const QIcon state = StateImages(item->StateImageIndex);
        if (!state.isNull()) state.paint(&painter, QRect(0, 0, StateWidth, 16));
        const QIcon image = Images ? Images(item->ImageIndex) : QIcon();
        if (!image.isNull()) image.paint(&painter, QRect(StateWidth + Gap, 0, 16, 16));
        painter.end();
        found = Composed.emplace(key, QIcon(both)).first;
    }
    item->setIcon(0, found->second);
}
