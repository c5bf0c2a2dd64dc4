// What one feature of the window tells the others, without knowing them:
// the composition root and the features listen to what concerns them.
#pragma once

#include <QObject>

#include "storage/display_state.h"

namespace orbo {

class WindowEvents : public QObject {
  Q_OBJECT

 signals:
  // Forms were added, deleted, renamed or reordered: lists of forms follow.
  void formsChanged();
  // The settings changed (options dialog): the window and the grid follow.
  void settingsChanged();
  // The recent files were cleared (options dialog): the file menu follows.
  void recentFilesChanged();
  // Database mode or edit mode began.
  void modeChanged(WorkMode mode);
  // Another database replaced the open one (loaded or new).
  void databaseReplaced();
  // In edit mode the tree stands for the database: it was chosen, and its
  // properties asked for when showProperties.
  void databaseChosen(bool showProperties);
};

}  // namespace orbo
