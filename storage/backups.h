// The versions saves replaced, kept beside the database in a folder of their
// own: NAME.2db.backups/NAME N YYYY-MM-DD HH-MM-SS.2db. N counts the versions
// kept and alone orders them; the time, when that version was saved, is only
// shown. File times are no clock: another program or a copy with `cp -p`
// sets them as it likes, and a version dated old is still the newest kept.
// Each backup is a whole database file that opens like any other.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "storage/encrypted_file.h"

namespace orbo {

inline constexpr int kDefaultBackups = 3;
inline constexpr int kMaxBackups = 99;

// Beside the file the path finally names, through links.
QString BackupFolderOf(const QString& databasePath);

struct Backup {
  QString path;
  // Counts up with every version kept; 0 for names of earlier program
  // versions, which go below every counted one.
  int number = 0;
  QDateTime saved;  // when the version it holds was saved
  // Earlier program versions named a second version of the same second
  // "DATE (2)", a third "DATE (3)": 0 for the first, and for counted names.
  int sameSecond = 0;
};
// Newest first; none when the folder does not exist.
std::vector<Backup> ListBackups(const QString& databasePath);

// Whether the two files hold the same bytes.
bool SameContent(const QString& a, const QString& b);

// The backup of the version a save is about to replace. It is provisional
// until Keep: a save that fails drops it again, so a failed save changes no
// backup, and the oldest go only once the new file is in place.
class PendingBackup {
 public:
  PendingBackup() = default;
  ~PendingBackup();
  PendingBackup(PendingBackup&& other) noexcept;
  // Handed out by value only; never assigned over one that holds a backup.
  PendingBackup& operator=(PendingBackup&&) = delete;
  PendingBackup(const PendingBackup&) = delete;
  PendingBackup& operator=(const PendingBackup&) = delete;

  // A backup was needed and could not be made.
  bool Failed() const { return failed_; }
  bool Made() const { return !path_.isEmpty(); }
  // The save is done: the backup stays, and the oldest beyond keep go.
  void Keep(int keep);

  // Keeps the file at target, about to be replaced by a rename, as a hard
  // link (a copy where the file system has none): it is the live file no
  // longer once the rename is done.
  static PendingBackup Link(const QString& target);
  // Keeps what write gives as the backup of target, about to be written in
  // place or kept sealed; never a link to a file that is written in place.
  static PendingBackup Write(const QString& target,
                             const std::function<void(const ByteSink&)>& write);
  // For a save that keeps no backup.
  static PendingBackup None(const QString& target);

 private:
  QString target_;
  QString path_;
  bool failed_ = false;
};

// Removes backups that are the live file under another name: what a save
// killed between keeping the version and replacing the file left. The file
// holds that version itself, and a write in place would change them both.
void RemoveLinksToLive(const QString& target);

// Whether a save replacing target needs to keep its present version: not
// when keep is 0, or when the newest backup holds the same bytes already.
bool NeedsBackup(const QString& target, int keep);
bool NeedsBackup(const QString& target, const QByteArray& present, int keep);

// The backups of target that are not encrypted, for the save that starts
// encrypting it.
std::vector<Backup> PlainBackups(const QString& target);
// Seals each of them with key; false when one could not be sealed (it is
// left as it was).
bool SealBackups(const std::vector<Backup>& backups, SealKey& key);
// Removes them; false when one could not be removed.
bool RemoveBackups(const std::vector<Backup>& backups);

}  // namespace orbo
