#include "shell/failure_texts.h"

#include <QDir>
#include <cerrno>

#include "shell/file_texts.h"
#include "storage/storage_error.h"

namespace orbo {
namespace {

constexpr QChar kLineBreak(13);

// What the save was doing, for the file at path.
QString StageText(WriteOutcome::Stage stage, const QString& path, FileCommandsUi& ui) {
  switch (stage) {
    case WriteOutcome::kLocking:
    case WriteOutcome::kCreating:
      return ui.GetText(file_texts::kCannotMakeFileBeside).arg(path);
    case WriteOutcome::kWriting:
      return ui.GetText(file_texts::kWritingFailed).arg(path);
    case WriteOutcome::kReplacing:
      return ui.GetText(file_texts::kCannotReplace).arg(path);
    case WriteOutcome::kReadingBack:
      return ui.GetText(file_texts::kNotReadBack).arg(path);
    case WriteOutcome::kChecking:
      break;
  }
  return ui.GetText(file_texts::kCannotWriteTo).arg(path);
}

// A refusal that says in its own words what happened, or empty.
QString RefusalText(const WriteOutcome& outcome, const QString& path, FileCommandsUi& ui) {
  switch (outcome.fault) {
    case WriteOutcome::kWriteProtected:
      return ui.GetText(file_texts::kFileWriteProtected).arg(path);
    case WriteOutcome::kChangedMeanwhile:
      return ui.GetText(file_texts::kFileChangedWhileSaving).arg(path);
    case WriteOutcome::kSavedByAnother:
      return ui.GetText(file_texts::kFileBeingSaved).arg(path);
    default:
      return {};
  }
}

// What the failed save left as it was.
QString SafetyText(const WriteOutcome& outcome, const QString& path, FileCommandsUi& ui) {
  switch (outcome.fault) {
    case WriteOutcome::kPutBack:
      return ui.GetText(file_texts::kPreviousContentsBack).arg(path);
    case WriteOutcome::kNotRestored:
      return ui.GetText(file_texts::kFileDamagedByWrite).arg(path);
    default:
      return ui.GetText(file_texts::kNothingChanged);
  }
}

}  // namespace

QString SaveFailedLine() { return QStringLiteral("Error while saving file"); }

QString ReasonText(int systemError, FileCommandsUi& ui) {
  switch (systemError) {
    case 0:
      return ui.GetText(file_texts::kNoReasonGiven);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return ui.GetText(file_texts::kDiskFull);
    case EACCES:
    case EPERM:
      return ui.GetText(file_texts::kNotAllowed);
    case EROFS:
      return ui.GetText(file_texts::kDiskReadOnly);
    case ENOENT:
    case ENOTDIR:
      return ui.GetText(file_texts::kNoSuchFolder);
    case EIO:
      return ui.GetText(file_texts::kDeviceError);
    case ENAMETOOLONG:
      return ui.GetText(file_texts::kNameTooLong);
    case ENOMEM:
      return ui.GetText(file_texts::kNotEnoughMemory);
    default:
      // A rare reason keeps the system's own words.
      return SystemErrorText(systemError);
  }
}

QString SaveFailureText(const WriteOutcome& outcome, const QString& path, FileCommandsUi& ui) {
  const QString file = QDir::toNativeSeparators(outcome.target.isEmpty() ? path : outcome.target);
  const QString refusal = RefusalText(outcome, file, ui);
  if (!refusal.isEmpty()) return SaveFailedLine() + kLineBreak + refusal;
  QString text = SaveFailedLine() + kLineBreak + StageText(outcome.stage, file, ui);
  if (outcome.stage != WriteOutcome::kChecking || outcome.systemError != 0)
    text += QStringLiteral(": ") + ReasonText(outcome.systemError, ui) + u'.';
  return text + kLineBreak + SafetyText(outcome, file, ui);
}

QString ReadFailureText(ReadOutcome::Fault fault, int systemError, bool passwordTried,
                        const QString& path, FileCommandsUi& ui) {
  const QString file = QDir::toNativeSeparators(path);
  QString text = ui.GetText(file_texts::kDatabaseNotLoaded) + kLineBreak;
  switch (fault) {
    case ReadOutcome::kMissing:
      return text + ui.GetText(file_texts::kFileMissing).arg(file);
    case ReadOutcome::kUnreadable:
      return text + ui.GetText(file_texts::kFileUnreadable).arg(file, ReasonText(systemError, ui));
    case ReadOutcome::kTooCostly:
      return text + ui.GetText(file_texts::kKeyTooCostly).arg(file);
    case ReadOutcome::kUnknownKind:
      return text + ui.GetText(file_texts::kUnknownEncryption).arg(file);
    default:
      break;
  }
  text += ui.GetText(file_texts::kFileDamaged);
  if (passwordTried) text += kLineBreak + ui.GetText(file_texts::kPasswordMayBeWrong);
  return text;
}

}  // namespace orbo
