// The file a save replaces, and what keeps two saves of it apart: whether the
// user may write it, what it is at a given moment, its mode and owner, the
// lock a save holds beside it and the temporaries saves write there.
#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

#include "storage/byte_sink.h"

namespace orbo {

// What a path names at one moment; two identities differ when the file was
// replaced, written or created in between.
struct FileIdentity {
  bool exists = false;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;

  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};
FileIdentity IdentityOf(const QString& path);

// Whether an existing file must not be replaced: the system refuses this user
// writing it, or no write permission is set at all (chmod a-w). The second
// rule matters for root, whom the system lets write anything, yet who has
// marked the file read-only as much as anybody.
bool IsWriteProtected(const QString& path);

// Gives the file at path the mode bits (set-id and sticky bits too) and, as far
// as the user may set them, the owner and group of the file that model names;
// false when the mode cannot be set.
bool TakeModeAndOwner(const QString& path, const QString& model);

// The mode a file made by this program gets, as the user's umask leaves it.
mode_t NewFileMode();

// Makes the names in folder durable: a rename or a removal there survives a
// power cut once this returned true.
bool SyncFolder(const QString& folder);

// Writes what write gives into a new file at path, created exclusively and
// readable by this user alone from its first byte, and syncs it. Throws
// StorageError, with the system's reason, when the file cannot be made or
// written; what was made of it is removed then.
void WritePrivateFile(const QString& path, const std::function<void(const ByteSink&)>& write);

// The lock of saves of target: a hidden name beside it, which the names of
// their temporaries begin alike ("lock" giving way to what is theirs).
QString LockPathFor(const QString& target);

// Held by a save of a file from before its temporary is made until the
// rename, as a lock of the system on the file LockPathFor names; the system
// drops it when the process ends, so a killed save holds nothing and the next
// save takes it over. Released, it removes that file.
class SaveLock {
 public:
  enum Result { kTaken, kHeldByAnother, kFolderTakesNoFile, kFailed };
  explicit SaveLock(const QString& target);
  ~SaveLock();
  SaveLock(const SaveLock&) = delete;
  SaveLock& operator=(const SaveLock&) = delete;
  Result Take();
  // Why Take failed: the errno of the call the system refused.
  int SystemError() const { return systemError_; }

 private:
  QByteArray path_;
  int fd_ = -1;
  int systemError_ = 0;
};

// Held by a save that writes a file in place, on the file itself.
class InPlaceLock {
 public:
  explicit InPlaceLock(const QString& target);
  ~InPlaceLock();
  InPlaceLock(const InPlaceLock&) = delete;
  InPlaceLock& operator=(const InPlaceLock&) = delete;
  // False when another save holds it, or the file cannot be opened.
  bool Taken() const { return taken_; }

 private:
  int fd_ = -1;
  bool taken_ = false;
};

// The temporaries of saves of target: hidden names of their own beside it,
// short enough to fit wherever target's name fits.
QStringList TempsBeside(const QString& target);
// Creates an empty temporary for a save of target, exclusively, under a name
// no other save uses (the process id and a random part), readable by this
// user alone until the save gives it its mode. Empty when the folder takes
// no new file; throws StorageError on other failures.
QString CreateTempBeside(const QString& target);
// Removes the temporaries killed saves left; only regular files, never a link
// or folder under such a name. Called while the lock is held, when no other
// save of target can be writing one.
void RemoveStaleTemps(const QString& target);

}  // namespace orbo
