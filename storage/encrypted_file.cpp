#include "storage/encrypted_file.h"

#include <sodium.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <future>
#include <utility>
#include <vector>

#include "storage/storage_error.h"

namespace orbo {
namespace {

using Stream = crypto_secretstream_xchacha20poly1305_state;
constexpr int kAuthBytes = crypto_secretstream_xchacha20poly1305_ABYTES;
constexpr int kKeyBytes = crypto_secretstream_xchacha20poly1305_KEYBYTES;
constexpr int kStreamHeaderBytes = crypto_secretstream_xchacha20poly1305_HEADERBYTES;
constexpr int kSaltBytes = crypto_pwhash_SALTBYTES;

constexpr std::uint16_t kFormatVersion = 1;
constexpr std::uint8_t kKeyArgon2id13 = 1;
constexpr std::uint8_t kCipherXChaCha20Poly1305 = 1;
constexpr std::uint32_t kChunkBytes = 64 * 1024;

// Where the header's parts are.
constexpr int kVersionAt = 8;
constexpr int kKeyKindAt = 10;
constexpr int kCipherAt = 11;
constexpr int kOperationsAt = 12;
constexpr int kMemoryAt = 16;
constexpr int kChunkAt = 20;
constexpr int kSaltAt = 24;
constexpr int kStreamHeaderAt = kSaltAt + kSaltBytes;
static_assert(kStreamHeaderAt + kStreamHeaderBytes == kEncryptedHeaderSize);

// A file's chunk size is bounded, so a hostile header cannot make a read
// take gigabytes.
constexpr std::uint32_t kLeastChunk = 1024;
constexpr std::uint32_t kMostChunk = 16 * 1024 * 1024;

SealError WrongOrDamaged() {
  return SealError(SealError::kWrongPasswordOrDamaged,
                   QStringLiteral("wrong password or damaged file"));
}

class Key {
 public:
  Key() = default;
  ~Key() { sodium_memzero(bytes.data(), bytes.size()); }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  std::array<unsigned char, kKeyBytes> bytes{};
};

// The cipher's running state holds key material too.
class StreamState {
 public:
  StreamState() = default;
  ~StreamState() { sodium_memzero(&state, sizeof state); }
  StreamState(const StreamState&) = delete;
  StreamState& operator=(const StreamState&) = delete;
  Stream state{};
};

void StartSodium() {
  if (sodium_init() < 0) throw StorageError(QStringLiteral("the crypto library cannot start"));
}

void Put32(unsigned char* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint32_t Get32(const unsigned char* at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | at[i];
  return value;
}

constexpr std::chrono::milliseconds kTickEvery{40};

// On another thread when a tick waits for it, so the waiting thread goes on
// ticking; the key is written only once the derivation is done.
void DeriveKey(unsigned char* key, const QString& password, const unsigned char* salt,
               const KeyCost& cost, const WaitTick& tick) {
  QByteArray utf8 = password.toUtf8();
  const auto derive = [&] {
    return crypto_pwhash(key, kKeyBytes, utf8.constData(),
                         static_cast<unsigned long long>(utf8.size()), salt, cost.operations,
                         std::size_t{cost.memory} * 1024, crypto_pwhash_ALG_ARGON2ID13);
  };
  int failed = 0;
  if (tick) {
    std::future<int> deriving = std::async(std::launch::async, derive);
    while (deriving.wait_for(kTickEvery) != std::future_status::ready) tick();
    failed = deriving.get();
  } else {
    failed = derive();
  }
  WipeBytes(utf8);
  if (failed) throw StorageError(QStringLiteral("the key cannot be derived: not enough memory"));
}

}  // namespace

KeyCost KeyCost::Standard() { return {4, 256 * 1024}; }

KeyCost KeyCost::Least() {
  return {crypto_pwhash_OPSLIMIT_MIN,
          static_cast<std::uint32_t>(crypto_pwhash_MEMLIMIT_MIN / 1024)};
}

KeyCost KeyCost::Most() { return {10, 1024 * 1024}; }

bool KeyCost::Allowed() const {
  const KeyCost least = Least();
  const KeyCost most = Most();
  return operations >= least.operations && operations <= most.operations &&
         memory >= least.memory && memory <= most.memory;
}

bool IsEncryptedFile(const QByteArray& start) {
  return start.startsWith(QByteArray(kEncryptedMagic, kEncryptedMagicSize));
}

void WipeBytes(QByteArray& bytes) {
  if (!bytes.isEmpty()) sodium_memzero(bytes.data(), static_cast<std::size_t>(bytes.size()));
  bytes.clear();
}

SealKey::SealKey(const QString& password, const KeyCost& cost, const WaitTick& tick) {
  static_assert(sizeof key_ == kKeyBytes);
  StartSodium();
  std::memcpy(header_, kEncryptedMagic, kEncryptedMagicSize);
  header_[kVersionAt] = kFormatVersion & 0xFF;
  header_[kVersionAt + 1] = kFormatVersion >> 8;
  header_[kKeyKindAt] = kKeyArgon2id13;
  header_[kCipherAt] = kCipherXChaCha20Poly1305;
  Put32(header_ + kOperationsAt, cost.operations);
  Put32(header_ + kMemoryAt, cost.memory);
  Put32(header_ + kChunkAt, kChunkBytes);
  // A new salt for every file, so two saves with one password share no key.
  randombytes_buf(header_ + kSaltAt, kSaltBytes);
  DeriveKey(key_, password, header_ + kSaltAt, cost, tick);
}

SealKey::~SealKey() { sodium_memzero(key_, sizeof key_); }

void SealKey::Seal(QByteArrayView plain, const ByteSink& out) {
  StreamState stream;
  // A new random nonce in the header for every container of this key.
  crypto_secretstream_xchacha20poly1305_init_push(&stream.state, header_ + kStreamHeaderAt, key_);
  out(reinterpret_cast<const char*>(header_), kEncryptedHeaderSize);
  std::vector<unsigned char> sealed(kChunkBytes + kAuthBytes);
  const auto* from = reinterpret_cast<const unsigned char*>(plain.data());
  for (qsizetype at = 0;;) {
    const qsizetype length = std::min<qsizetype>(kChunkBytes, plain.size() - at);
    const bool last = at + length == plain.size();
    // The header is authenticated with the first chunk: a changed cost,
    // salt or version fails like a changed body.
    const bool first = at == 0;
    unsigned long long written = 0;
    crypto_secretstream_xchacha20poly1305_push(
        &stream.state, sealed.data(), &written, from + at, static_cast<unsigned long long>(length),
        first ? header_ : nullptr, first ? kEncryptedHeaderSize : 0,
        last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL : 0);
    out(reinterpret_cast<const char*>(sealed.data()), static_cast<qsizetype>(written));
    at += length;
    if (last) break;
  }
}

QByteArray SealFile(QByteArrayView plain, const QString& password, const KeyCost& cost) {
  QByteArray sealed;
  SealKey(password, cost).Seal(plain, [&sealed](const char* data, qsizetype size) {
    sealed.append(data, size);
  });
  return sealed;
}

void OpenSealedFile(QByteArrayView sealed, const QString& password, const ByteSink& out,
                    const WaitTick& tick) {
  StartSodium();
  if (sealed.size() < kEncryptedHeaderSize + kAuthBytes ||
      !IsEncryptedFile(sealed.first(kEncryptedMagicSize).toByteArray())) {
    throw WrongOrDamaged();
  }
  const auto* header = reinterpret_cast<const unsigned char*>(sealed.data());
  const int version = header[kVersionAt] | header[kVersionAt + 1] << 8;
  if (version != kFormatVersion || header[kKeyKindAt] != kKeyArgon2id13 ||
      header[kCipherAt] != kCipherXChaCha20Poly1305) {
    throw SealError(SealError::kUnknownFormat,
                    QStringLiteral("the file is encrypted in a way this version does not know"));
  }
  const KeyCost cost{Get32(header + kOperationsAt), Get32(header + kMemoryAt)};
  const std::uint32_t chunk = Get32(header + kChunkAt);
  if (chunk < kLeastChunk || chunk > kMostChunk) throw WrongOrDamaged();
  if (!cost.Allowed()) {
    throw SealError(SealError::kTooCostly,
                    QStringLiteral("the file asks for a key derivation of %1 passes over %2 MiB, "
                                   "beyond what this program allows")
                        .arg(cost.operations)
                        .arg(cost.memory / 1024));
  }
  Key key;
  DeriveKey(key.bytes.data(), password, header + kSaltAt, cost, tick);
  StreamState stream;
  if (crypto_secretstream_xchacha20poly1305_init_pull(&stream.state, header + kStreamHeaderAt,
                                                      key.bytes.data()) != 0) {
    throw WrongOrDamaged();
  }
  std::vector<unsigned char> plain(chunk);
  // The last chunk's plain bytes are wiped however the opening ends.
  struct Wipe {
    std::vector<unsigned char>& bytes;
    ~Wipe() { sodium_memzero(bytes.data(), bytes.size()); }
  } wipe{plain};
  for (qsizetype at = kEncryptedHeaderSize;;) {
    const qsizetype left = sealed.size() - at;
    const qsizetype length = std::min<qsizetype>(qsizetype{chunk} + kAuthBytes, left);
    unsigned long long read = 0;
    unsigned char tag = 0;
    const bool first = at == kEncryptedHeaderSize;
    const bool opened = length >= kAuthBytes &&
                        crypto_secretstream_xchacha20poly1305_pull(
                            &stream.state, plain.data(), &read, &tag, header + at,
                            static_cast<unsigned long long>(length), first ? header : nullptr,
                            first ? kEncryptedHeaderSize : 0) == 0;
    at += length;
    const bool final = tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL;
    // The final chunk ends the file; a file that ends on any other was cut.
    if (!opened || final != (at == sealed.size()) || (!final && tag != 0)) throw WrongOrDamaged();
    out(reinterpret_cast<const char*>(plain.data()), static_cast<qsizetype>(read));
    if (final) break;
  }
}

QByteArray OpenSealedFile(QByteArrayView sealed, const QString& password) {
  QByteArray plain;
  try {
    OpenSealedFile(sealed, password,
                   [&plain](const char* data, qsizetype size) { plain.append(data, size); });
  } catch (...) {
    WipeBytes(plain);
    throw;
  }
  return plain;
}

}  // namespace orbo
