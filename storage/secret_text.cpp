#include "storage/secret_text.h"

#include <sodium.h>

#include <utility>

namespace orbo {

SecretText::SecretText(const QString& text) : chars_(text.utf16(), text.utf16() + text.size()) {}

SecretText::SecretText(const SecretText& other) : chars_(other.chars_) {}

// A copy first: assigning into the vector could keep old characters
// beyond the new size in the same memory.
SecretText& SecretText::operator=(const SecretText& other) {
  if (this != &other) *this = SecretText(other);
  return *this;
}

SecretText::SecretText(SecretText&& other) noexcept : chars_(std::move(other.chars_)) {}

SecretText& SecretText::operator=(SecretText&& other) noexcept {
  if (this != &other) {
    Wipe();
    chars_ = std::move(other.chars_);
  }
  return *this;
}

SecretText::~SecretText() { Wipe(); }

void SecretText::Wipe() {
  if (chars_.capacity() > 0) sodium_memzero(chars_.data(), chars_.capacity() * sizeof(char16_t));
  std::vector<char16_t>().swap(chars_);
}

bool SecretText::Holds(const QString& text) const {
  return QStringView(chars_.data(), static_cast<qsizetype>(chars_.size())) == text;
}

void SecretText::PutInto(QString& text) const {
  WipeText(text);
  text =
      QString(reinterpret_cast<const QChar*>(chars_.data()), static_cast<qsizetype>(chars_.size()));
}

void WipeText(QString& text) {
  QString::DataPointer& data = text.data_ptr();
  if (!data.isShared()) {
    // Earlier, longer contents may linger in the room before and after.
    char16_t* room = data.data() - data.freeSpaceAtBegin();
    const qsizetype length = data.freeSpaceAtBegin() + data.size + data.freeSpaceAtEnd();
    sodium_memzero(room, static_cast<std::size_t>(length) * sizeof(char16_t));
  }
  text = QString();
}

void WipePassword(Database& db) { WipeText(db.Password); }

}  // namespace orbo
