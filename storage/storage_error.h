// The error raised inside the storage procedures; the load, save and merge
// functions catch it and report one failure.
#pragma once

#include <QString>
#include <stdexcept>

namespace orbo {

class StorageError : public std::runtime_error {
 public:
  // systemError: the errno of the call the system refused, 0 when none did.
  explicit StorageError(const QString& message, int systemError = 0)
      : std::runtime_error(message.toStdString()), message_(message), systemError_(systemError) {}
  const QString& Message() const { return message_; }
  int SystemError() const { return systemError_; }

 private:
  QString message_;
  int systemError_;
};

// The system's own words for errno, for logs and orbo-cli.
QString SystemErrorText(int systemError);

}  // namespace orbo
