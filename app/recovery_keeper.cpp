#include "app/recovery_keeper.h"

#include <QGuiApplication>

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
  timer_.stop();
  if (!modified) Remove();
}

void RecoveryKeeper::WriteNow() {
  if (!db_.Modified || minutes_() <= 0) return;
  if (writing_.valid() && writing_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
    return;
  }
  // The copy of the model is the only part the window waits for.
  writing_ = std::async(std::launch::async,
                        [snapshot = db_, folder = folder_] { folder.Write(snapshot); });
}

void RecoveryKeeper::Wait() {
  if (writing_.valid()) writing_.wait();
}

void RecoveryKeeper::Remove() {
  // A copy being written would come back after its removal.
  Wait();
  folder_.Remove();
}

}  // namespace orbo
