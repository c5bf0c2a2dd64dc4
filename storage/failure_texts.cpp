#include "storage/failure_texts.h"

#include <QDir>
#include <cerrno>

#include "storage/storage_error.h"
#include "storage/storage_texts.h"

namespace orbo {
namespace {

constexpr QChar kLineBreak(13);

// What the save was doing, for the file at path.
QString StageText(WriteOutcome::Stage stage, const QString& path, StorageUi& ui) {
  switch (stage) {
    case WriteOutcome::kLocking:
    case WriteOutcome::kCreating:
      return ui.GetText(storage_texts::kCannotMakeFileBeside).arg(path);
    case WriteOutcome::kWriting:
      return ui.GetText(storage_texts::kWritingFailed).arg(path);
    case WriteOutcome::kReplacing:
      return ui.GetText(storage_texts::kCannotReplace).arg(path);
    case WriteOutcome::kReadingBack:
      return ui.GetText(storage_texts::kNotReadBack).arg(path);
    case WriteOutcome::kChecking:
      break;
  }
  return ui.GetText(storage_texts::kCannotWriteTo).arg(path);
}

// A refusal that says in its own words what happened, or empty.
QString RefusalText(const WriteOutcome& outcome, const QString& path, StorageUi& ui) {
  switch (outcome.fault) {
    case WriteOutcome::kWriteProtected:
      return ui.GetText(storage_texts::kFileWriteProtected).arg(path);
    case WriteOutcome::kChangedMeanwhile:
      return ui.GetText(storage_texts::kFileChangedWhileSaving).arg(path);
    case WriteOutcome::kSavedByAnother:
      return ui.GetText(storage_texts::kFileBeingSaved).arg(path);
    default:
      return {};
  }
}

// What the failed save left as it was.
QString SafetyText(const WriteOutcome& outcome, const QString& path, StorageUi& ui) {
  switch (outcome.fault) {
    case WriteOutcome::kPutBack:
      return ui.GetText(storage_texts::kPreviousContentsBack).arg(path);
    case WriteOutcome::kNotRestored:
      return ui.GetText(storage_texts::kFileDamagedByWrite).arg(path);
    default:
      return ui.GetText(storage_texts::kNothingChanged);
  }
}

}  // namespace

QString SaveFailedLine() { return QStringLiteral("Error while saving file"); }

QString ReasonText(int systemError, StorageUi& ui) {
  switch (systemError) {
    case 0:
      return ui.GetText(storage_texts::kNoReasonGiven);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return ui.GetText(storage_texts::kDiskFull);
    case EACCES:
    case EPERM:
      return ui.GetText(storage_texts::kNotAllowed);
    case EROFS:
      return ui.GetText(storage_texts::kDiskReadOnly);
    case ENOENT:
    case ENOTDIR:
      return ui.GetText(storage_texts::kNoSuchFolder);
    case EIO:
      return ui.GetText(storage_texts::kDeviceError);
    case ENAMETOOLONG:
      return ui.GetText(storage_texts::kNameTooLong);
    case ENOMEM:
      return ui.GetText(storage_texts::kNotEnoughMemory);
    default:
      // A rare reason keeps the system's own words.
      return SystemErrorText(systemError);
  }
}

QString SaveFailureText(const WriteOutcome& outcome, const QString& path, StorageUi& ui) {
  const QString file = QDir::toNativeSeparators(outcome.target.isEmpty() ? path : outcome.target);
  const QString refusal = RefusalText(outcome, file, ui);
  if (!refusal.isEmpty()) return SaveFailedLine() + kLineBreak + refusal;
  QString text = SaveFailedLine() + kLineBreak + StageText(outcome.stage, file, ui);
  if (outcome.stage != WriteOutcome::kChecking || outcome.systemError != 0)
    text += QStringLiteral(": ") + ReasonText(outcome.systemError, ui) + u'.';
  return text + kLineBreak + SafetyText(outcome, file, ui);
}

QString ReadFailureText(ReadOutcome::Fault fault, int systemError, bool askedPassword,
                        const QString& path, StorageUi& ui) {
  const QString file = QDir::toNativeSeparators(path);
  QString text = ui.GetText(storage_texts::kDatabaseNotLoaded) + kLineBreak;
  switch (fault) {
    case ReadOutcome::kMissing:
      return text + ui.GetText(storage_texts::kFileMissing).arg(file);
    case ReadOutcome::kUnreadable:
      return text +
             ui.GetText(storage_texts::kFileUnreadable).arg(file, ReasonText(systemError, ui));
    case ReadOutcome::kTooCostly:
      return text + ui.GetText(storage_texts::kKeyTooCostly).arg(file);
    case ReadOutcome::kUnknownKind:
      return text + ui.GetText(storage_texts::kUnknownEncryption).arg(file);
    default:
      break;
  }
  text += ui.GetText(storage_texts::kFileDamaged);
  if (askedPassword) text += kLineBreak + ui.GetText(storage_texts::kPasswordMayBeWrong);
  return text;
}

}  // namespace orbo
