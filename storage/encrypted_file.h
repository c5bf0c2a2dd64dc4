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
};

// Whether bytes, the start of a file, begin a container.
bool IsEncryptedFile(const QByteArray& start);

// Takes the bytes a sealing or opening gives, in order; throws to stop it.
using ByteSink = std::function<void(const char* data, qsizetype size)>;

// The header of a new container and the key it names, derived from the
// password: the slow part of sealing, which may run while the plain bytes
// are still being made. The key is wiped when the seal goes.
class SealKey {
 public:
  // Throws StorageError when the crypto library cannot run or memory is short.
  SealKey(const QString& password, const KeyCost& cost);
  ~SealKey();
  SealKey(const SealKey&) = delete;
  SealKey& operator=(const SealKey&) = delete;

  // The container of plain, given to out as it is made (the header, then
  // chunk by chunk). Once per key: every container gets a salt of its own.
  void Seal(QByteArrayView plain, const ByteSink& out);

 private:
  unsigned char header_[kEncryptedHeaderSize] = {};
  unsigned char key_[32] = {};
  bool used_ = false;
};

QByteArray SealFile(QByteArrayView plain, const QString& password,
                    const KeyCost& cost = KeyCost::Standard());

// The classic file a container holds, given to out chunk by chunk: what
// out took is only whole when no exception ends the opening. Throws
// StorageError with "wrong password or damaged file" for anything that does
// not authenticate, and with a reason of its own for an unknown version.
void OpenSealedFile(QByteArrayView sealed, const QString& password, const ByteSink& out);
QByteArray OpenSealedFile(QByteArrayView sealed, const QString& password);

// Overwrites bytes with zeros where the compiler cannot drop it, for
// plaintext and passwords that are no longer needed.
void WipeBytes(QByteArray& bytes);

}  // namespace orbo
