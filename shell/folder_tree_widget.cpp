#include "shell/folder_tree_widget.h"

#include <QDropEvent>
#include <QMouseEvent>

namespace orbo {

FolderTreeWidget::FolderTreeWidget(QWidget* parent) : QTreeWidget(parent) {
  setObjectName("MainList");
  setHeaderHidden(true);
  setUniformRowHeights(true);
  setDragDropMode(QAbstractItemView::InternalMove);
  setDefaultDropAction(Qt::MoveAction);
}

void FolderTreeWidget::dropEvent(QDropEvent* event) {
  // The owner moves the model and the nodes; Qt must not move items itself.
  QTreeWidgetItem* target = itemAt(event->position().toPoint());
  QTreeWidgetItem* dragged = currentItem();
  event->setDropAction(Qt::IgnoreAction);
  event->accept();
  if (dragged && target && onDrop) onDrop(dragged, target);
}

void FolderTreeWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (item && onRightPress) onRightPress(item, event->globalPosition().toPoint());
    return;
  }
  QTreeWidget::mousePressEvent(event);
}

}  // namespace orbo
