// An encrypted database file: the classic file, byte for byte, inside an
// authenticated container (layout and reasons in docs/encrypted-files.md).
// The key comes from the password through Argon2id; the classic file is
// sealed in chunks with XChaCha20-Poly1305, so a wrong password, a changed
// byte, a dropped or reordered chunk and a cut-off end are all refused
// before anything of the database is read.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <functional>

#include "storage/byte_sink.h"
#include "storage/storage_error.h"

namespace orbo {

// The first bytes of a container. Read as the classic header word they are
// neither of its two values, so a reader that knows only the classic file
// refuses it with its usual message.
inline constexpr char kEncryptedMagic[] =
    "\x89"
    "CVDB\r\n\x1a";
inline constexpr int kEncryptedMagicSize = 8;
// The container's fixed header, authenticated with the first chunk.
inline constexpr int kEncryptedHeaderSize = 64;

// What deriving the key costs; kept in each file, so later files may cost more.
struct KeyCost {
  std::uint32_t operations = 0;
  // In KiB.
  std::uint32_t memory = 0;

  // About half a second on a desktop of today.
  static KeyCost Standard();
  // The least the key derivation takes, for tests and fuzzing.
  static KeyCost Least();
  // The most a file may ask for: a little above what this program writes,
  // so a hostile header cannot make an open take minutes and gigabytes.
  static KeyCost Most();
  bool Allowed() const;
};

// Called on the waiting thread every few dozen milliseconds while a key is
// derived on another, so that a window stays alive and shows progress.
using WaitTick = std::function<void()>;

// Why a container was refused.
class SealError : public StorageError {
 public:
  enum Kind { kWrongPasswordOrDamaged, kUnknownFormat, kTooCostly };
  SealError(Kind kind, const QString& message) : StorageError(message), kind_(kind) {}
  Kind GetKind() const { return kind_; }

 private:
  Kind kind_;
};

// Whether bytes, the start of a file, begin a container.
bool IsEncryptedFile(const QByteArray& start);

// The header of a new container and the key it names, derived from the
// password: the slow part of sealing, which may run while the plain bytes
// are still being made. One key seals the file of a save and its backups:
// each container gets a nonce of its own. The key is wiped when it goes.
class SealKey {
 public:
  // Throws StorageError when the crypto library cannot run or memory is short.
  SealKey(const QString& password, const KeyCost& cost, const WaitTick& tick = {});
  ~SealKey();
  SealKey(const SealKey&) = delete;
  SealKey& operator=(const SealKey&) = delete;

  // The container of plain, given to out as it is made (the header, then
  // chunk by chunk).
  void Seal(QByteArrayView plain, const ByteSink& out);

 private:
  unsigned char header_[kEncryptedHeaderSize] = {};
  unsigned char key_[32] = {};
};

QByteArray SealFile(QByteArrayView plain, const QString& password,
                    const KeyCost& cost = KeyCost::Standard());

// The classic file a container holds, given to out chunk by chunk: what
// out took is only whole when no exception ends the opening. Throws
// SealError: "wrong password or damaged file" for anything that does not
// authenticate, and a reason of its own for an unknown version or a key
// cost beyond KeyCost::Most, which is refused before anything is derived.
void OpenSealedFile(QByteArrayView sealed, const QString& password, const ByteSink& out,
                    const WaitTick& tick = {});
QByteArray OpenSealedFile(QByteArrayView sealed, const QString& password);

// Overwrites bytes with zeros where the compiler cannot drop it, for
// plaintext and passwords that are no longer needed.
void WipeBytes(QByteArray& bytes);

}  // namespace orbo
