// An encrypted database file: the classic file, byte for byte, inside an
// authenticated container (layout and reasons in docs/encrypted-files.md).
// The key comes from the password through Argon2id; the classic file is
// sealed in chunks with XChaCha20-Poly1305, so a wrong password, a changed
// byte, a dropped or reordered chunk and a cut-off end are all refused
// before anything of the database is read.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

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

// The container of plain under password; throws StorageError when the
// crypto library cannot run or memory is short.
QByteArray SealFile(const QByteArray& plain, const QString& password,
                    const KeyCost& cost = KeyCost::Standard());

// The classic file a container holds; throws StorageError with "wrong
// password or damaged file" for anything that does not authenticate, and
// with a reason of its own for a header no key could be derived from.
QByteArray OpenSealedFile(const QByteArray& sealed, const QString& password);

// Overwrites bytes with zeros where the compiler cannot drop it, for
// plaintext and passwords that are no longer needed.
void WipeBytes(QByteArray& bytes);

}  // namespace orbo
