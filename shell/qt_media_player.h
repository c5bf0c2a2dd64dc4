// Media values played through Qt Multimedia.
#pragma once

#include <memory>

#include "shell/media_player.h"

class QAudioOutput;
class QMediaPlayer;

namespace orbo {

class QtMediaPlayer : public MediaPlayer {
 public:
  QtMediaPlayer();
  ~QtMediaPlayer() override;

  void Play(const QString& path) override;
  void Resume() override;
  void Pause() override;
  void Stop() override;
  void Close() override;
  Mode CurrentMode() const override;
  QString FilePath() const override { return path_; }
  int Percent() const override;

 private:
  std::unique_ptr<QAudioOutput> audio_;
  std::unique_ptr<QMediaPlayer> player_;
  QString path_;
};

}  // namespace orbo
