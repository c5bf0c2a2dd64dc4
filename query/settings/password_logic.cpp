#include "query/settings/password_logic.h"

#include "query/settings/settings_texts.h"
#include "storage/database_file.h"

namespace orbo {
namespace {

ProtectionOutcome CheckOld(const Database& db, const AskPasswordFn& ask) {
  const QString old = ask(settings_texts::kAskOldPassword);
  if (old.isEmpty()) return ProtectionOutcome::kNoAnswer;
  return old == db.Password ? ProtectionOutcome::kChanged : ProtectionOutcome::kWrongPassword;
}

}  // namespace

Protection Protection::Of(const Database& db) {
  return {db.PasswordOn, SecretText(db.Password), db.Encrypted};
}

void Protection::ApplyTo(Database& db) const {
  db.PasswordOn = PasswordOn;
  if (!Password.Holds(db.Password)) Password.PutInto(db.Password);
  db.Encrypted = Encrypted;
}

ProtectionOutcome SwitchProtectionOff(Database& db, const AskPasswordFn& ask) {
  const ProtectionOutcome outcome = CheckOld(db, ask);
  if (outcome == ProtectionOutcome::kChanged) {
    db.PasswordOn = false;
    // Encryption needs the password: off with it.
    db.Encrypted = false;
  }
  return outcome;
}

void SetEncryption(Database& db, bool on) { db.Encrypted = on && db.PasswordOn; }

ProtectionOutcome SwitchProtectionOn(Database& db, CodePage& codePage, const AskPasswordFn& ask) {
  const QString typed = ask(settings_texts::kAskNewPassword);
  if (typed.isEmpty()) return ProtectionOutcome::kNoAnswer;
  const QString again = ask(settings_texts::kAskPasswordAgain);
  if (again.isEmpty()) return ProtectionOutcome::kNoAnswer;
  if (typed != again) return ProtectionOutcome::kDiffer;
  if (typed.size() < kMinPasswordLength) return ProtectionOutcome::kTooShort;
  // Refused now, not when the file is written.
  switch (CheckPasswordKey(typed, codePage)) {
    case PasswordFault::kNul:
      return ProtectionOutcome::kHoldsNul;
    case PasswordFault::kUnencodable:
      return ProtectionOutcome::kUnencodable;
    default:
      break;
  }
  db.PasswordOn = true;
  WipePassword(db);
  db.Password = typed;
  return ProtectionOutcome::kChanged;
}

ProtectionOutcome ChangePassword(Database& db, CodePage& codePage, const AskPasswordFn& ask) {
  const ProtectionOutcome outcome = CheckOld(db, ask);
  return outcome == ProtectionOutcome::kChanged ? SwitchProtectionOn(db, codePage, ask) : outcome;
}

}  // namespace orbo
