// The error raised inside the storage procedures; the load, save and merge
// functions catch it and report one failure.
#pragma once

#include <QString>
#include <stdexcept>

namespace orbo {

class StorageError : public std::runtime_error {
 public:
  explicit StorageError(const QString& message)
      : std::runtime_error(message.toStdString()), message_(message) {}
  const QString& Message() const { return message_; }

 private:
  QString message_;
};

}  // namespace orbo
