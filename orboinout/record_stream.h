// The buffered, scrambled record stream: one body of small items behind
// optional header words. Writing and reading apply the same scrambling, so
// a file reads back only with the key it was written with.
#pragma once

#include <cstddef>
#include <cstdint>
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
// The window plus room behind it for the item that overflows it.
inline constexpr std::size_t kBufferReserve = 800000;
inline constexpr std::int32_t kStringMarker = 77;
inline constexpr std::int32_t kMaxStringLength = 100000;
inline constexpr std::size_t kStringHeader = 5;

// XORs each byte with key byte p and the low 8 bits of p, where
// p = (offset + i) mod key length.
void Scramble(std::uint8_t* bytes, std::size_t n, std::int64_t offset, const std::uint8_t* key,
              std::size_t keyLength);

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

  void Write4(std::int32_t value);
  void Write2(std::int16_t value);
  void WriteString(const char* text, std::size_t length);
  void Read4(std::int32_t* value);
  void Read2(std::int16_t* value);
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
  void Flush();
  bool ScrambleAndWrite(std::size_t n);
  // Makes n bytes available at the position; false (and the past-end mark)
  // when the file has fewer.
  bool Ensure(std::size_t n);
  void Refill();

  FileHandle file_ = kInvalidFile;
  bool error_ = false;
  bool pastEnd_ = false;
  std::vector<std::uint8_t> buffer_;
  std::size_t position_ = 0;
  // Bytes of the buffer that hold data read from the file.
  std::size_t limit_ = 0;
  std::int32_t fillCount_ = 0;
  std::int64_t streamOffset_ = 0;
  std::uint8_t key_[kMaxKeyLength + 1] = {};
  std::size_t keyLength_ = 0;
};

}  // namespace oio
