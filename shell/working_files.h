// The program's working files (settings, language files, the hand-over file)
// are opened through here. One that cannot be opened means a broken
// installation: the failure is reported once, with the path and the caller,
// and the program ends.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace orbo {

inline constexpr auto kSupportAddress = "support@corvane-database.org";

QString OpenFailureMessage(const QString& path, bool forInput, const QString& tag, int errorNumber);

class WorkingFiles {
 public:
  // Gets the whole failure message; the program's handler shows it and ends.
  using FailureHandler = std::function<void(const QString& message)>;

  WorkingFiles(QString appPath, FailureHandler onFailure);

  // The program folder with a trailing separator.
  const QString& AppPath() const { return appPath_; }
  // A path below the program folder, given with "\" separators.
  QString Below(const QString& relative) const;

  std::optional<QStringList> ReadLines(const QString& path, const QString& tag) const;
  // The first line, or an empty text for an empty file.
  std::optional<QString> ReadFirstLine(const QString& path, const QString& tag) const;
  // Replaces the file as a whole: a crash midway leaves the old one.
  bool WriteText(const QString& path, const QString& text, const QString& tag) const;
  // The same, but a failure is only returned, for callers that tell the user themselves.
  static bool TryWriteText(const QString& path, const QString& text);

 private:
  void Fail(const QString& path, bool forInput, const QString& tag) const;

  QString appPath_;
  FailureHandler onFailure_;
};

}  // namespace orbo
