// Spells out database file bytes in a test: body items as the file holds
// them before scrambling.
#pragma once

#include <QByteArray>
#include <QtEndian>
#include <cstdint>

#include "../test_files.h"

namespace orbo::test {

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

inline QByteArray FileBytes(std::int32_t header, const QByteArray& body,
                            const QByteArray& key = kDefaultKey) {
  return BodyBytes().L(header).bytes + Scrambled(body, key);
}

}  // namespace orbo::test
