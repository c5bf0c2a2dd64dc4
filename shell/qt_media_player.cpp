#include "shell/qt_media_player.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>

namespace orbo {

QtMediaPlayer::QtMediaPlayer() = default;

QtMediaPlayer::~QtMediaPlayer() = default;

void QtMediaPlayer::Play(const QString& path) {
  // The sound system is reached only when something is played.
  if (!player_) {
    audio_ = std::make_unique<QAudioOutput>();
    player_ = std::make_unique<QMediaPlayer>();
    player_->setAudioOutput(audio_.get());
  }
  player_->stop();
  path_ = path;
  player_->setSource(QUrl::fromLocalFile(path));
  player_->play();
}

void QtMediaPlayer::Resume() {
  if (player_) player_->play();
}

void QtMediaPlayer::Pause() {
  if (player_) player_->pause();
}

void QtMediaPlayer::Stop() {
  if (player_) player_->stop();
}

void QtMediaPlayer::Close() {
  if (player_) {
    player_->stop();
    player_->setSource(QUrl());
  }
  path_.clear();
}

MediaPlayer::Mode QtMediaPlayer::CurrentMode() const {
  if (!player_) return kNotOpen;
  const QMediaPlayer::MediaStatus status = player_->mediaStatus();
  if (status == QMediaPlayer::NoMedia || status == QMediaPlayer::InvalidMedia) return kNotOpen;
  switch (player_->playbackState()) {
    case QMediaPlayer::PlayingState:
      return kPlaying;
    case QMediaPlayer::PausedState:
      return kPaused;
    default:
      return kStopped;
  }
}

int QtMediaPlayer::Percent() const {
  if (!player_) return 0;
  const qint64 length = player_->duration();
  return length > 0 ? static_cast<int>(player_->position() * 100 / length) : 0;
}

}  // namespace orbo
