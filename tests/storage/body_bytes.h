// Spells out database file bytes in a test: body items as the file holds
// them before scrambling, and the scrambling itself, written down here
// independently of the library.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QtEndian>
#include <cstdint>

namespace orbo::test {

inline const QByteArray kDefaultKey = QByteArrayLiteral("Kp4Wm9z#Lq");

class BodyBytes {
 public:
  BodyBytes& I(std::int16_t v) { return LittleEndian(v); }
  BodyBytes& L(std::int32_t v) { return LittleEndian(v); }
  BodyBytes& B(bool v) { return I(v ? -1 : 0); }
  // A character count, then (unless empty) a string record: length, the
  // marker 77 and the 8-bit text.
  BodyBytes& S(const QByteArray& text) {
    L(static_cast<std::int32_t>(text.size()));
    return text.isEmpty() ? *this : RecordOnly(text);
  }
  BodyBytes& RecordOnly(const QByteArray& text) {
    L(static_cast<std::int32_t>(text.size()));
    bytes += char(77) + text;
    return *this;
  }
  BodyBytes& Font(const QByteArray& name, bool bold, bool italic, std::int16_t size) {
    return S(name).B(bold).B(italic).I(size);
  }

  QByteArray bytes;

 private:
  template <typename T>
  BodyBytes& LittleEndian(T v) {
    bytes.resize(bytes.size() + qsizetype(sizeof v));
    qToLittleEndian(v, bytes.data() + bytes.size() - sizeof v);
    return *this;
  }
};

// Byte i of the body is XORed with key byte p and the low 8 bits of p,
// p = i mod key length.
inline QByteArray Scrambled(QByteArray body, const QByteArray& key) {
  for (qsizetype i = 0; i < body.size(); ++i) {
    const qsizetype p = i % key.size();
    body[i] = static_cast<char>(body[i] ^ key[p] ^ static_cast<char>(p & 0xFF));
  }
  return body;
}

inline QByteArray FileBytes(std::int32_t header, const QByteArray& body, const QByteArray& key = kDefaultKey) {
  return BodyBytes().L(header).bytes + Scrambled(body, key);
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace orbo::test
