#include "orboinout/record_stream.h"

#include <algorithm>
#include <cstring>

namespace oio {
namespace {

// Long enough that XORing runs against it vectorises, a whole number of keys
// long so that a run can restart at its beginning.
std::vector<std::uint8_t> RepeatedPad(const std::uint8_t* key, std::size_t keyLength) {
  std::size_t repeats = (4096 + keyLength - 1) / keyLength;
  std::vector<std::uint8_t> pad(repeats * keyLength);
  for (std::size_t i = 0; i < pad.size(); ++i) {
    std::size_t p = i % keyLength;
    pad[i] = static_cast<std::uint8_t>(key[p] ^ (p & 0xFF));
  }
  return pad;
}

void StoreLittleEndian(std::uint8_t* out, std::uint32_t value, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t LoadLittleEndian(const std::uint8_t* in, std::size_t n) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < n; ++i) value |= static_cast<std::uint32_t>(in[i]) << (8 * i);
  return value;
}

}  // namespace

void Scramble(std::uint8_t* bytes, std::size_t n, std::int64_t offset, const std::uint8_t* key,
              std::size_t keyLength) {
  if (n == 0 || keyLength == 0) return;
  std::vector<std::uint8_t> pad = RepeatedPad(key, keyLength);
  std::size_t p = static_cast<std::size_t>(offset % static_cast<std::int64_t>(keyLength));
  while (n > 0) {
    std::size_t run = std::min(n, pad.size() - p);
    const std::uint8_t* from = pad.data() + p;
    std::size_t i = 0;
    for (; i + 8 <= run; i += 8) {  // a word at a time; the bytes may be unaligned
      std::uint64_t word, mask;
      std::memcpy(&word, bytes + i, 8);
      std::memcpy(&mask, from + i, 8);
      word ^= mask;
      std::memcpy(bytes + i, &word, 8);
    }
    for (; i < run; ++i) bytes[i] ^= from[i];
    bytes += run;
    n -= run;
    p = 0;
  }
}

RecordStream::RecordStream() : buffer_(kBufferReserve) { Reset(); }

RecordStream::~RecordStream() {
  if (file_ != kInvalidFile) FileClose(file_);
}

void RecordStream::Reset() {
  if (file_ != kInvalidFile) FileClose(file_);
  file_ = kInvalidFile;
  error_ = false;
  pastEnd_ = false;
  position_ = 0;
  limit_ = 0;
  fillCount_ = 0;
  streamOffset_ = 0;
  std::memset(key_, 0, sizeof key_);
  std::memcpy(key_, kDefaultKey, kDefaultKeyLength);
  keyLength_ = kDefaultKeyLength;
}

FileHandle RecordStream::OpenWrite(const char* path) {
  Reset();
  file_ = path ? FileCreate(path) : kInvalidFile;
  error_ = file_ == kInvalidFile;
  return file_;
}

FileHandle RecordStream::OpenInput(const char* path) {
  Reset();
  file_ = path ? FileOpenRead(path) : kInvalidFile;
  error_ = file_ == kInvalidFile;
  return file_;
}

std::size_t RecordStream::SetKey(const char* key) {
  // An empty key would leave the scrambling undefined; keep the one in use.
  std::size_t length = key ? std::strlen(key) : 0;
  if (length == 0) return keyLength_;
  length = std::min(length, kMaxKeyLength);
  std::memcpy(key_, key, length);
  key_[length] = 0;
  keyLength_ = length;
  return keyLength_;
}

bool RecordStream::WriteHeaderWord(std::int32_t value) {
  if (error_ || file_ == kInvalidFile) return false;
  std::uint8_t bytes[4];
  StoreLittleEndian(bytes, static_cast<std::uint32_t>(value), 4);
  if (!FileWrite(file_, bytes, 4)) {
    error_ = true;
    return false;
  }
  return true;
}

bool RecordStream::ReadHeaderWord(std::int32_t* value) {
  if (error_ || file_ == kInvalidFile || !value) return false;
  std::uint8_t bytes[4];
  std::int64_t got = FileRead(file_, bytes, 4);
  if (got != 4) {
    (got < 0 ? error_ : pastEnd_) = true;
    return false;
  }
  *value = static_cast<std::int32_t>(LoadLittleEndian(bytes, 4));
  return true;
}

void RecordStream::Write4(std::int32_t value) {
  std::uint8_t bytes[4];
  StoreLittleEndian(bytes, static_cast<std::uint32_t>(value), 4);
  Append(bytes, 4);
}

void RecordStream::Write2(std::int16_t value) {
  std::uint8_t bytes[2];
  StoreLittleEndian(bytes, static_cast<std::uint16_t>(value), 2);
  Append(bytes, 2);
}

void RecordStream::WriteString(const char* text, std::size_t length) {
  std::uint8_t header[kStringHeader];
  StoreLittleEndian(header, static_cast<std::uint32_t>(length), 4);
  header[4] = kStringMarker;
  Append(header, kStringHeader);
  Append(text, length);
}

void RecordStream::Append(const void* data, std::size_t n) {
  const std::uint8_t* bytes = static_cast<const std::uint8_t*>(data);
  // A text longer than the overflow room goes in pieces; the chunks on disk
  // are the same 500000 bytes either way.
  while (n > 0 && !error_ && file_ != kInvalidFile) {
    std::size_t take = std::min(n, kBufferReserve - position_);
    std::memcpy(buffer_.data() + position_, bytes, take);
    position_ += take;
    bytes += take;
    n -= take;
    if (position_ >= kWindow) Flush();
  }
}

void RecordStream::Flush() {
  if (!ScrambleAndWrite(kWindow)) return;
  std::memmove(buffer_.data(), buffer_.data() + kWindow, position_ - kWindow);
  position_ -= kWindow;
  ++fillCount_;
}

bool RecordStream::ScrambleAndWrite(std::size_t n) {
  Scramble(buffer_.data(), n, streamOffset_, key_, keyLength_);
  streamOffset_ += static_cast<std::int64_t>(n);
  if (!FileWrite(file_, buffer_.data(), n)) {
    error_ = true;
    return false;
  }
  return true;
}

void RecordStream::Refill() {
  std::size_t tail = limit_ - position_;
  std::memmove(buffer_.data(), buffer_.data() + position_, tail);
  position_ = 0;
  limit_ = tail;
  std::int64_t got = FileRead(file_, buffer_.data() + tail, kWindow - tail);
  ++fillCount_;
  if (got < 0) {
    error_ = true;
    return;
  }
  std::size_t arrived = static_cast<std::size_t>(got);
  Scramble(buffer_.data() + tail, arrived, streamOffset_, key_, keyLength_);
  streamOffset_ += got;
  limit_ = tail + arrived;
}

bool RecordStream::Ensure(std::size_t n) {
  if (error_ || file_ == kInvalidFile) return false;
  if (fillCount_ == 0 || kWindow - position_ < n) Refill();
  if (error_) return false;
  if (limit_ - position_ < n) {
    pastEnd_ = true;
    return false;
  }
  return true;
}

void RecordStream::Read4(std::int32_t* value) {
  if (!value || !Ensure(4)) return;
  *value = static_cast<std::int32_t>(LoadLittleEndian(buffer_.data() + position_, 4));
  position_ += 4;
}

void RecordStream::Read2(std::int16_t* value) {
  if (!value || !Ensure(2)) return;
  *value = static_cast<std::int16_t>(LoadLittleEndian(buffer_.data() + position_, 2));
  position_ += 2;
}

std::int32_t RecordStream::ReadString(char* dest) {
  if (!dest || !Ensure(kStringHeader)) return 1;
  const std::uint8_t* header = buffer_.data() + position_;
  auto length = static_cast<std::int32_t>(LoadLittleEndian(header, 4));
  std::uint8_t marker = header[4];
  position_ += kStringHeader;
  if (marker != kStringMarker || length < 0 || length > kMaxStringLength) {
    error_ = true;
    return 1;
  }
  std::size_t n = static_cast<std::size_t>(length);
  if (n > 0 && !Ensure(n)) return 1;
  // A bounded string copy: up to the first zero byte, then zeros.
  const std::uint8_t* text = buffer_.data() + position_;
  const void* zero = std::memchr(text, 0, n);
  std::size_t copied =
      zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - text) : n;
  std::memcpy(dest, text, copied);
  std::memset(dest + copied, 0, n - copied);
  position_ += n;
  return static_cast<std::int32_t>(position_);
}

bool RecordStream::CloseWrite() {
  if (file_ == kInvalidFile) return false;
  if (!error_ && position_ > 0) ScrambleAndWrite(position_);
  position_ = 0;
  bool synced = !error_ && FileSync(file_);
  bool closed = FileClose(file_);
  file_ = kInvalidFile;
  return !error_ && synced && closed;
}

bool RecordStream::CloseInput() {
  if (file_ == kInvalidFile) return false;
  bool closed = FileClose(file_);
  file_ = kInvalidFile;
  return closed;
}

std::int64_t RecordStream::UnreadBytes() const {
  std::int64_t unread = static_cast<std::int64_t>(limit_ - position_);
  if (file_ != kInvalidFile) {
    std::int64_t inFile = FileRemaining(file_);
    if (inFile > 0) unread += inFile;
  }
  return unread;
}

}  // namespace oio
