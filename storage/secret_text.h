// A password kept aside, by an undo step or a dialog while it is open, in
// memory of its own: never shared with another string, and overwritten with
// zeros when it goes, so no copy of it stays behind in freed memory.
#pragma once

#include <QString>
#include <cstddef>
#include <vector>

#include "storage/database_model.h"

namespace orbo {

class SecretText {
 public:
  SecretText() = default;
  explicit SecretText(const QString& text);
  SecretText(const SecretText& other);
  SecretText& operator=(const SecretText& other);
  SecretText(SecretText&& other) noexcept;
  SecretText& operator=(SecretText&& other) noexcept;
  ~SecretText();

  bool Holds(const QString& text) const;
  // Puts it into text, wiping what text held.
  void PutInto(QString& text) const;
  std::size_t Bytes() const { return chars_.capacity() * sizeof(char16_t); }

 private:
  void Wipe();

  std::vector<char16_t> chars_;
};

// Overwrites text's characters with zeros, when no other string shares
// them (a copy being written elsewhere keeps them, and the last holder's
// wipe clears them), and empties it.
void WipeText(QString& text);

// The model's password, wiped when the model is replaced or closed.
void WipePassword(Database& db);

}  // namespace orbo
