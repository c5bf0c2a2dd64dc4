#include "shell/working_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace orbo {
namespace {

// The classic run-time error numbers, which the support address knows.
int ErrorNumber(const QString& path) {
  QFileInfo info(path);
  if (!info.dir().exists()) return 76;  // path not found
  if (!info.exists()) return 53;        // file not found
  return 75;                            // path/file access error
}

}  // namespace

QString OpenFailureMessage(const QString& path, bool forInput, const QString& tag,
                           int errorNumber) {
  return QStringLiteral(
             "Sorry, Where is an error in programm. Please, send the follow information to "
             "%1:\r\n\r\n"
             "%2 : %3 : %4 : %5")
      .arg(QLatin1String(kSupportAddress), path,
           forInput ? QStringLiteral("True") : QStringLiteral("False"), tag,
           QString::number(errorNumber));
}

WorkingFiles::WorkingFiles(QString appPath, FailureHandler onFailure)
    : appPath_(std::move(appPath)), onFailure_(std::move(onFailure)) {
  if (!appPath_.endsWith(u'/')) appPath_ += u'/';
}

QString WorkingFiles::Below(const QString& relative) const {
  return appPath_ + QString(relative).replace(u'\\', u'/');
}

std::optional<QStringList> WorkingFiles::ReadLines(const QString& path, const QString& tag) const {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    Fail(path, true, tag);
    return std::nullopt;
  }
  QTextStream in(&file);
  in.setEncoding(QStringConverter::Utf8);
  QStringList lines;
  while (!in.atEnd()) lines.append(in.readLine());
  return lines;
}

std::optional<QString> WorkingFiles::ReadFirstLine(const QString& path, const QString& tag) const {
  std::optional<QStringList> lines = ReadLines(path, tag);
  if (!lines) return std::nullopt;
  return lines->isEmpty() ? QString() : lines->first();
}

bool WorkingFiles::WriteText(const QString& path, const QString& text, const QString& tag) const {
  const bool ok = TryWriteText(path, text);
  if (!ok) Fail(path, false, tag);
  return ok;
}

bool WorkingFiles::TryWriteText(const QString& path, const QString& text) {
  QSaveFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0 && file.commit();
}

void WorkingFiles::Fail(const QString& path, bool forInput, const QString& tag) const {
  onFailure_(OpenFailureMessage(QDir::toNativeSeparators(path), forInput, tag, ErrorNumber(path)));
}

}  // namespace orbo
