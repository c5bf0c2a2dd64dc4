// One command at a time: events processed inside a command (the progress
// display, a modal dialog, the deletion of a large folder) start no other
// command, and the hand-over of a second instance waits for the next tick.
#pragma once

#include <functional>

namespace orbo {

class CommandGate {
 public:
  // Runs command unless another one is running; false when refused.
  bool Run(const std::function<void()>& command);
  bool Busy() const { return running_; }
  // A handler that goes through Run.
  std::function<void()> Gated(std::function<void()> command);

  // Runs after every command that ran, e.g. the model's checks.
  std::function<void()> afterCommand;

 private:
  bool running_ = false;
};

}  // namespace orbo
