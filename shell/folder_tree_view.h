// MainList: the view of the folder tree. Drops and right-button presses are
// handed to the owner, which changes the model; the model's rows follow.
#pragma once

#include <QTreeView>
#include <functional>

namespace orbo {

class FolderTreeView : public QTreeView {
  Q_OBJECT

 public:
  explicit FolderTreeView(QWidget* parent);

  std::function<void(const QModelIndex& dragged, const QModelIndex& target)> onDrop;
  std::function<void(const QModelIndex& index, const QPoint& globalPos)> onRightPress;

 protected:
  void dropEvent(QDropEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace orbo
