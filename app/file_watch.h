// Watches the open database's file for changes by other programs: a call
// back once the changes settle (a save of another program touches the
// folder several times), also after the file was replaced by a rename.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

namespace orbo {

class FileWatch : public QObject {
 public:
  explicit FileWatch(std::function<void()> settled);

  // Watches path from now on; empty: nothing.
  void Follow(const QString& path);
  // Calls back again a little later (the window was busy).
  void CheckLater() { settle_.start(); }

 private:
  void Rewatch();

  QFileSystemWatcher watcher_;
  QTimer settle_;
  QString path_;
  std::function<void()> settled_;
};

}  // namespace orbo
