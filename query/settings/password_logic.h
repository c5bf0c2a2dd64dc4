// Switching the password protection of a database on and off and changing
// its password, as the database properties do it, without widgets. The
// password lives only in the model; it scrambles the file at the next save.
#pragma once

#include <QString>
#include <functional>

#include "storage/code_page.h"
#include "storage/database_model.h"
#include "storage/text_id.h"

namespace orbo {

inline constexpr int kMinPasswordLength = 4;
// Asks for a password with the given prompt; empty when the user gave none.
using AskPasswordFn = std::function<QString(TextId prompt)>;

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
