// Keeps a recovery copy of the open database while it has unsaved changes:
// every few minutes and when the program loses focus, written off the
// window's thread from a copy of the model; removed once the database is
// saved, replaced or closed cleanly.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <future>

#include "shell/file_commands_ui.h"
#include "storage/recovery_copies.h"

namespace orbo {

class RecoveryKeeper : public QObject {
 public:
  // minutes: the option, read at each change; 0 writes no copy.
  RecoveryKeeper(const Database& db, RecoveryFolder folder, std::function<int()> minutes);
  ~RecoveryKeeper() override;

  void FollowModified(bool modified);
  // Starts a copy now, unless one is being written or nothing is unsaved.
  void WriteNow();
  // Waits for a copy being written, for tests and the end; whether the last
  // copy started was written.
  bool Wait();
  // The database was closed as the user chose: its copy goes.
  void EndCleanly() {
    timer_.stop();
    Remove();
  }
  // Offers the changes programs that ended left in recovery copies; true
  // when one was taken into db, which then holds this program's copy.
  bool OfferLeftCopies(Database& db, FileCommandsUi& ui);

 private:
  void Remove();

  const Database& db_;
  RecoveryFolder folder_;
  RecoveryLock lock_;
  std::function<int()> minutes_;
  QTimer timer_;
  std::future<bool> writing_;
  bool lastWritten_ = false;
};

}  // namespace orbo
