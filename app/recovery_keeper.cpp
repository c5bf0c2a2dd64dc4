#include "app/recovery_keeper.h"

#include <QDir>
#include <QGuiApplication>

#include "app/app_texts.h"
#include "shell/file_commands.h"

namespace orbo {

RecoveryKeeper::RecoveryKeeper(const Database& db, RecoveryFolder folder,
                               std::function<int()> minutes)
    : db_(db), folder_(std::move(folder)), lock_(folder_), minutes_(std::move(minutes)) {
  connect(&timer_, &QTimer::timeout, this, [this] { WriteNow(); });
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    connect(app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
      if (s != Qt::ApplicationActive) WriteNow();
    });
  }
}

RecoveryKeeper::~RecoveryKeeper() { Wait(); }

void RecoveryKeeper::FollowModified(bool modified) {
  const int minutes = minutes_();
  if (modified && minutes > 0) {
    if (!timer_.isActive() || timer_.interval() != minutes * 60000) timer_.start(minutes * 60000);
    return;
  }
  // Nothing to recover, or copies switched off: none is kept.
  timer_.stop();
  Remove();
}

void RecoveryKeeper::WriteNow() {
  if (!db_.Modified || minutes_() <= 0) return;
  if (writing_.valid() && writing_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
    return;
  }
  // The copy of the model is the only part the window waits for.
  writing_ = std::async(std::launch::async, [snapshot = db_, folder = folder_]() mutable {
    return folder.Write(std::move(snapshot));
  });
}

bool RecoveryKeeper::OfferLeftCopies(Database& db, FileCommandsUi& ui) {
  for (const RecoveryCopy& copy : folder_.Left()) {
    const QString name = copy.databasePath == QLatin1String("noname")
                             ? copy.databasePath
                             : QDir::toNativeSeparators(copy.databasePath);
    const QString question = ui.GetText(app_texts::kRecoverChanges)
                                 .arg(copy.made.toString(QStringLiteral("yyyy-MM-dd HH:mm")), name);
    if (ui.ShowMessage(question, kYesNo) == kAnswerYes) {
      if (!OpenUnsaved(db, copy.copyPath, copy.databasePath, ui)) continue;
      // Kept as this program's copy before the old one goes; while that
      // cannot be written, the old one stays for the next start. With
      // copies switched off, the user keeps none.
      bool kept = minutes_() <= 0;
      if (!kept) {
        WriteNow();
        kept = Wait();
      }
      if (kept) RecoveryFolder::Discard(copy);
      return true;
    }
    if (ui.ShowMessage(ui.GetText(app_texts::kKeepRecoveryCopy), kYesNo) == kAnswerNo)
      RecoveryFolder::Discard(copy);
  }
  return false;
}

bool RecoveryKeeper::Wait() {
  if (writing_.valid()) lastWritten_ = writing_.get();
  return lastWritten_;
}

void RecoveryKeeper::Remove() {
  // A copy being written would come back after its removal.
  Wait();
  folder_.Remove();
}

}  // namespace orbo
