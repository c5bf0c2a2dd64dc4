// The widgets of the main window that the navigation fills and listens to:
// the folder tree, the contents list and the folder header. The composition
// root hands them over.
#pragma once

#include <functional>

class QLineEdit;
class QListView;
class QToolButton;

namespace orbo {

class FolderTreeView;

struct NavigationViews {
  FolderTreeView& tree;
  QListView& contents;
  // The folder header: the name and its buttons by object name
  // ("RootImage", "RootUp", "RootDown", "RootToRootButt").
  QLineEdit& folderName;
  std::function<QToolButton&(const char* name)> folderButton;
  // Shows the contents list (true) or the record (false) on the right side.
  std::function<void(bool folder)> showFolderView;
};

}  // namespace orbo
