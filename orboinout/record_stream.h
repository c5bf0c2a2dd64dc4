// The buffered, scrambled record stream: one body of small items behind
// optional header words. Writing and reading apply the same scrambling, so
// a file reads back only with the key it was written with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "orboinout/file_layer.h"

namespace oio {

// The built-in key every open starts with.
inline constexpr char kDefaultKey[] = "Kp4Wm9z#Lq";
inline constexpr std::size_t kDefaultKeyLength = sizeof(kDefaultKey) - 1;
static_assert(kDefaultKeyLength == 10);

inline constexpr std::size_t kMaxKeyLength = 511;
// The file is written and read in chunks of this size.
inline constexpr std::size_t kWindow = 500000;
// Reads take the file in smaller pieces, which stay in the processor's cache
// while they are unscrambled and taken apart.
inline constexpr std::size_t kReadPiece = 131072;
// The window plus room behind it for the item that overflows it.
inline constexpr std::size_t kBufferReserve = 800000;
inline constexpr std::int32_t kStringMarker = 77;
inline constexpr std::int32_t kMaxStringLength = 100000;
inline constexpr std::size_t kStringHeader = 5;

// The longest run a reader unscrambles against one stretch of the pad: a
// read piece behind the longest item.
inline constexpr std::size_t kPadRun = kReadPiece + kStringHeader + kMaxStringLength;

// The scrambling of one key: each byte is XORed with key byte p and the low
// 8 bits of p, where p = (offset + i) mod key length. The pad holds those
// masks repeated, so that a run of bytes is one plain XOR against it.
class ScramblePad {
 public:
  void SetKey(const std::uint8_t* key, std::size_t keyLength);
  void Apply(std::uint8_t* bytes, std::size_t n, std::int64_t offset) const;
  // The masks of the bytes from offset on, for kPadRun bytes.
  const std::uint8_t* From(std::int64_t offset) const {
    return pad_.data() + offset % static_cast<std::int64_t>(keyLength_);
  }

 private:
  std::vector<std::uint8_t> pad_;
  std::size_t keyLength_ = 0;
};

class RecordStream {
 public:
  RecordStream();
  ~RecordStream();
  RecordStream(const RecordStream&) = delete;
  RecordStream& operator=(const RecordStream&) = delete;

  FileHandle OpenWrite(const char* path);
  FileHandle OpenInput(const char* path);
  std::size_t SetKey(const char* key);

  bool WriteHeaderWord(std::int32_t value);
  bool ReadHeaderWord(std::int32_t* value);

  // Small items are written inline too.
  void Write4(std::int32_t value) { Put(static_cast<std::uint32_t>(value), 4); }
  void Write2(std::int16_t value) { Put(static_cast<std::uint16_t>(value), 2); }
  void WriteString(const char* text, std::size_t length);
  // Small items are read inline: most of a body is small items.
  void Read4(std::int32_t* value) {
    if (value && Ensure(4)) *value = static_cast<std::int32_t>(Take(4));
  }
  void Read2(std::int16_t* value) {
    if (value && Ensure(2)) *value = static_cast<std::int16_t>(Take(2));
  }
  // Returns the new position, or 1 when nothing was read.
  std::int32_t ReadString(char* dest);

  bool CloseWrite();
  bool CloseInput();

  bool Failed() const { return error_; }
  bool PastEnd() const { return pastEnd_; }
  std::int64_t UnreadBytes() const;

 private:
  void Reset();
  void Append(const void* data, std::size_t n);
  // Appends the low n (at most 4) bytes of value, little-endian.
  void Put(std::uint32_t value, std::size_t n) {
    std::uint8_t bytes[4];
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    // The common case: room in the window, and the window not yet full after.
    if (!error_ && file_ != kInvalidFile && position_ + n < kWindow) {
      std::memcpy(buffer_.data() + position_, bytes, n);
      position_ += n;
      return;
    }
    Append(bytes, n);
  }
  void Flush();
  bool ScrambleAndWrite(std::size_t n);
  void WriteFailed();
  // Makes n bytes available at the position; false (and the past-end mark)
  // when the file has fewer.
  bool Ensure(std::size_t n) {
    if (!error_ && file_ != kInvalidFile && limit_ - position_ >= n) return true;
    return EnsureFromFile(n);
  }
  bool EnsureFromFile(std::size_t n);
  // The next n (at most 4) bytes, unscrambled, as a little-endian number.
  std::uint32_t Take(std::size_t n) {
    const std::uint8_t* bytes = buffer_.data() + position_;
    const std::uint8_t* masks = masks_ + position_;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < n; ++i)
      value |= static_cast<std::uint32_t>(bytes[i] ^ masks[i]) << (8 * i);
    position_ += n;
    return value;
  }
  // Keeps the unread bytes and reads at least a piece behind them, and
  // enough for n bytes in all.
  void Refill(std::size_t n);

  FileHandle file_ = kInvalidFile;
  bool error_ = false;
  // The errno of the first write that failed.
  int writeErrno_ = 0;
  bool pastEnd_ = false;
  // Written items wait here plain and are scrambled as they go out; read
  // bytes stay scrambled here and are unscrambled as they are taken, so
  // that each byte is touched once.
  std::vector<std::uint8_t> buffer_;
  std::size_t position_ = 0;
  // Bytes of the buffer that hold data read from the file.
  std::size_t limit_ = 0;
  // Body offset of the next byte to write or read from the file, and of the
  // buffer's first byte while reading.
  std::int64_t streamOffset_ = 0;
  std::int64_t bufferOffset_ = 0;
  // The masks of the read buffer's bytes.
  const std::uint8_t* masks_ = nullptr;
  std::size_t keyLength_ = 0;
  ScramblePad pad_;
};

}  // namespace oio
