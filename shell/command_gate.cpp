#include "shell/command_gate.h"

namespace orbo {
namespace {

class Running {
 public:
  explicit Running(bool& flag) : flag_(flag) { flag_ = true; }
  ~Running() { flag_ = false; }

 private:
  bool& flag_;
};

}  // namespace

bool CommandGate::Run(const std::function<void()>& command) {
  if (running_) return false;
  {
    Running running(running_);
    command();
  }
  if (afterCommand) afterCommand();
  return true;
}

std::function<void()> CommandGate::Gated(std::function<void()> command) {
  return [this, command = std::move(command)] { Run(command); };
}

}  // namespace orbo
