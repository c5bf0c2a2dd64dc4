// The player of media values (button action "play media"), with the states
// of the old multimedia control, which the status bar and toolbar follow.
#pragma once

#include <QString>

namespace orbo {

class MediaPlayer {
 public:
  enum Mode : int { kNotOpen = 524, kStopped = 525, kPlaying = 526, kPaused = 529 };

  virtual ~MediaPlayer() = default;

  // Closes what was open, opens path and plays it.
  virtual void Play(const QString& path) = 0;
  virtual void Resume() = 0;
  virtual void Pause() = 0;
  virtual void Stop() = 0;
  // Stops and lets go of the file: the player is not open any more.
  virtual void Close() = 0;

  virtual Mode CurrentMode() const = 0;
  virtual QString FilePath() const = 0;
  // How far it has played, 0 to 100.
  virtual int Percent() const = 0;
};

}  // namespace orbo
