#include "shell/folder_tree_view.h"

#include <QDropEvent>
#include <QMouseEvent>

namespace orbo {

FolderTreeView::FolderTreeView(QWidget* parent) : QTreeView(parent) {
  setObjectName("MainList");
  setHeaderHidden(true);
  setUniformRowHeights(true);
  setDragDropMode(QAbstractItemView::InternalMove);
  setDefaultDropAction(Qt::MoveAction);
}

void FolderTreeView::dropEvent(QDropEvent* event) {
  // The owner moves the entry in the database; the view must not move rows
  // itself.
  const QModelIndex target = indexAt(event->position().toPoint());
  const QModelIndex dragged = currentIndex();
  event->setDropAction(Qt::IgnoreAction);
  event->accept();
  stopAutoScroll();
  setState(NoState);
  viewport()->update();
  if (dragged.isValid() && target.isValid() && onDrop) onDrop(dragged, target);
}

void FolderTreeView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && onRightPress) onRightPress(index, event->globalPosition().toPoint());
    return;
  }
  QTreeView::mousePressEvent(event);
}

}  // namespace orbo
