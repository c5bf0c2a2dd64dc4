// File helpers shared by the tests: whole files read and written, numbers as
// the file formats store them, and the stream's scrambling written out
// plainly, independently of the library.
#pragma once

#include <sys/stat.h>
#include <utime.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

inline const QByteArray kDefaultKey = QByteArrayLiteral("Kp4Wm9z#Lq");

inline QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The files of a folder by name, hidden ones included.
inline QStringList FilesIn(const QString& folder) {
  QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
  files.sort();
  return files;
}

// Replaces the file, making its folder when needed.
inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

inline struct stat StatOf(const QString& path) {
  struct stat info {};
  ::stat(QFile::encodeName(path).constData(), &info);
  return info;
}

// Dates the file at noon on the first of June of year, as another program
// (cp -p, an archive) or a clock off by years would.
inline void SetTime(const QString& path, int year) {
  const utimbuf times{0, QDateTime(QDate(year, 6, 1), QTime(12, 0)).toSecsSinceEpoch()};
  ::utime(QFile::encodeName(path).constData(), &times);
}

inline QByteArray Le32(qint32 value) {
  QByteArray bytes(4, '\0');
  qToLittleEndian(value, bytes.data());
  return bytes;
}

// Byte i of the body is XORed with key byte p and the low 8 bits of p,
// p = i mod key length; it is its own inverse.
inline QByteArray Scrambled(QByteArray body, const QByteArray& key) {
  for (qsizetype i = 0; i < body.size(); ++i) {
    const qsizetype p = i % key.size();
    body[i] = static_cast<char>(body[i] ^ key[p] ^ static_cast<char>(p & 0xFF));
  }
  return body;
}
