// Whether the process's writable memory, live or freed, holds a copy of
// some bytes: how a test tells that a secret left nothing behind.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <cstdint>

namespace orbo::test {

// Reads memory the sanitizer would stop a read of (freed blocks, the room
// around them): this is the point of the scan.
__attribute__((no_sanitize_address)) inline bool RangeHolds(const char* begin, const char* end,
                                                            const QByteArray& bytes) {
  const char* needle = bytes.constData();
  const qsizetype size = bytes.size();
  for (const char* at = begin; end - at >= size; ++at) {
    if (at == needle) continue;
    qsizetype same = 0;
    while (same < size && at[same] == needle[same]) ++same;
    if (same == size) return true;
  }
  return false;
}

// Anywhere but in bytes itself.
inline bool MemoryHoldsCopyOf(const QByteArray& bytes) {
  QFile maps(QStringLiteral("/proc/self/maps"));
  if (!maps.open(QIODevice::ReadOnly)) qFatal("/proc/self/maps cannot be read");
  const QList<QByteArray> lines = maps.readAll().split('\n');
  for (const QByteArray& line : lines) {
    // "start-end rw-p offset device inode path": private writable memory only.
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() < 2 || fields[1] != "rw-p") continue;
    const QList<QByteArray> range = fields[0].split('-');
    const auto start = static_cast<std::uintptr_t>(range.value(0).toULongLong(nullptr, 16));
    const auto end = static_cast<std::uintptr_t>(range.value(1).toULongLong(nullptr, 16));
    // A sanitizer's shadow reserves terabytes that hold no data of ours.
    if (end <= start || end - start > (std::uintptr_t{1} << 32)) continue;
    if (RangeHolds(reinterpret_cast<const char*>(start), reinterpret_cast<const char*>(end), bytes))
      return true;
  }
  return false;
}

// A password made at run time, so that the program's own bytes hold no copy.
inline QString RandomPassword() {
  return QStringLiteral("pw-%1-%2")
      .arg(QRandomGenerator::global()->generate64(), 0, 36)
      .arg(QRandomGenerator::global()->generate64(), 0, 36);
}

// A text's characters as the program's strings keep them.
inline QByteArray Utf16Bytes(const QString& text) {
  return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

}  // namespace orbo::test
