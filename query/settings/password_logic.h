// Switching the password protection of a database on and off and changing
// its password, as the database properties do it, without widgets. The
// password lives in the model, where it scrambles the file at the next save,
// and in the undo step that set it, which wipes it when it goes.
#pragma once

#include <QString>
#include <functional>

#include "storage/code_page.h"
#include "storage/database_model.h"
#include "storage/secret_text.h"
#include "storage/text_id.h"

namespace orbo {

inline constexpr int kMinPasswordLength = 4;
// Asks for a password with the given prompt; empty when the user gave none.
using AskPasswordFn = std::function<QString(TextId prompt)>;

// The protection of a database as the properties dialog found or left it.
struct Protection {
  bool PasswordOn = false;
  SecretText Password;
  bool Encrypted = false;

  static Protection Of(const Database& db);
  void ApplyTo(Database& db) const;
};

enum class ProtectionOutcome {
  kChanged,
  kNoAnswer,       // a question was left empty: nothing changes, nothing is said
  kWrongPassword,  // the old password did not match
  kDiffer,         // the confirmation differs
  kTooShort,       // fewer than 4 characters
  kHoldsNul,       // the key would end at the NUL
  kUnencodable,    // the file's code page cannot hold a character
};

// Off, after the old password.
ProtectionOutcome SwitchProtectionOff(Database& db, const AskPasswordFn& ask);
// On, with a new password asked twice.
ProtectionOutcome SwitchProtectionOn(Database& db, CodePage& codePage, const AskPasswordFn& ask);
// Encrypting the file or not, which only a protected database can be.
void SetEncryption(Database& db, bool on);
// A new password, after the old one.
ProtectionOutcome ChangePassword(Database& db, CodePage& codePage, const AskPasswordFn& ask);

}  // namespace orbo
