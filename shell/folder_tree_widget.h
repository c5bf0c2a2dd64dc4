// MainList: the folder tree. Nodes carry their keys ("root"&n, "item"&n);
// drops and right-button presses are handed to the owner, which changes the
// model and patches the nodes itself.
#pragma once

#include <QTreeWidget>
#include <functional>

namespace orbo {

class FolderTreeWidget : public QTreeWidget {
  Q_OBJECT

 public:
  explicit FolderTreeWidget(QWidget* parent);

  std::function<void(QTreeWidgetItem* dragged, QTreeWidgetItem* target)> onDrop;
  std::function<void(QTreeWidgetItem* item, const QPoint& globalPos)> onRightPress;

 protected:
  void dropEvent(QDropEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace orbo
