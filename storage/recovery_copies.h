// The copies the window writes of a database with unsaved changes, for the
// start after a crash: in a private folder of the user's, never beside the
// database, one per running program (by its process id), each with a note
// of the database it is a copy of (its absolute path) and when it was made.
// Only the program that wrote a copy removes it, once it saved the database
// or closed it as the user chose; no file time decides that a copy is old.
#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

#include "storage/database_model.h"

namespace orbo {

inline constexpr int kDefaultRecoveryMinutes = 2;
inline constexpr int kMaxRecoveryMinutes = 60;

struct RecoveryCopy {
  QString copyPath;
  QString notePath;
  QString databasePath;  // "noname" for a database never saved
  QDateTime made;
};

class RecoveryFolder {
 public:
  RecoveryFolder(QString folder, qint64 processId);

  // Writes db as this program's copy, whole or not at all: the previous
  // copy stays until the new one is in place, and the note comes after the
  // copy, so a copy is never offered half-written. Characters the code page
  // lacks are written as "?", as a save would write them.
  bool Write(Database db) const;
  // This program's copy, when it has one: the note first, so a copy is
  // never offered once its program knew the database saved.
  void Remove() const;
  // The copies of programs that ended, newest first. A note naming its
  // database by a relative path (an earlier version's) offers the copy as
  // a database never saved: that path named a file of another folder.
  // What ended programs left without a note is removed.
  std::vector<RecoveryCopy> Left() const;
  static void Discard(const RecoveryCopy& copy);

  // The lock a running program holds on its entry.
  QString LockPath(qint64 processId) const;
  QString Folder() const { return folder_; }
  qint64 ProcessId() const { return processId_; }

 private:
  QString CopyPath(qint64 processId) const;
  QString NotePath(qint64 processId) const;

  QString folder_;
  qint64 processId_;
};

// Held while a program runs, on a file of its entry: the system drops it
// when the process ends, however it ends, so a copy is offered exactly when
// its program is gone (a process id alone may be a zombie's or taken again).
class RecoveryLock {
 public:
  explicit RecoveryLock(const RecoveryFolder& folder);
  ~RecoveryLock();
  RecoveryLock(const RecoveryLock&) = delete;
  RecoveryLock& operator=(const RecoveryLock&) = delete;

 private:
  QByteArray path_;
  int fd_ = -1;
};

}  // namespace orbo
