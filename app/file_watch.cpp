#include "app/file_watch.h"

#include <QFileInfo>

namespace orbo {
namespace {

constexpr int kSettleMs = 400;

}  // namespace

FileWatch::FileWatch(std::function<void()> settled) : settled_(std::move(settled)) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, [this] {
    Rewatch();
    settled_();
  });
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { settle_.start(); });
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { settle_.start(); });
}

void FileWatch::Follow(const QString& path) {
  if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
  if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
  path_ = path;
  Rewatch();
}

// A file replaced by a rename is no longer the one watched; its folder sees
// the new one come.
void FileWatch::Rewatch() {
  if (path_.isEmpty()) return;
  const QFileInfo file(path_);
  if (file.exists() && !watcher_.files().contains(path_)) watcher_.addPath(path_);
  const QString folder = file.absolutePath();
  if (!watcher_.directories().contains(folder)) watcher_.addPath(folder);
}

}  // namespace orbo
