#include "orboinout/record_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace oio {
namespace {

void StoreLittleEndian(std::uint8_t* out, std::uint32_t value, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t LoadLittleEndian(const std::uint8_t* in, std::size_t n) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < n; ++i) value |= static_cast<std::uint32_t>(in[i]) << (8 * i);
  return value;
}

std::uint64_t LoadWord(const std::uint8_t* bytes) {
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

void XorInPlace(std::uint8_t* bytes, const std::uint8_t* masks, std::size_t n) {
  std::size_t i = 0;
#ifdef __SSE2__
  for (; i + 16 <= n; i += 16) {
    auto* at = reinterpret_cast<__m128i*>(bytes + i);
    _mm_storeu_si128(at,
                     _mm_xor_si128(_mm_loadu_si128(at),
                                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(masks + i))));
  }
#endif
  for (; i + 8 <= n; i += 8) {
    const std::uint64_t word = LoadWord(bytes + i) ^ LoadWord(masks + i);
    std::memcpy(bytes + i, &word, sizeof word);
  }
  for (; i < n; ++i) bytes[i] ^= masks[i];
}

bool HasZeroByte(std::uint64_t word) {
  return ((word - 0x0101010101010101ULL) & ~word & 0x8080808080808080ULL) != 0;
}

// Unscrambles bytes into dest up to the first zero byte among the n and
// returns how many came before it (n when none is zero). Bytes behind the
// zero may be written too.
std::size_t UnscrambleToZero(std::uint8_t* dest, const std::uint8_t* bytes,
                             const std::uint8_t* masks, std::size_t n) {
  std::size_t i = 0;
#ifdef __SSE2__
  // Sixteen bytes at a time while none is zero; the last sixteen overlap
  // the ones before them rather than going byte by byte.
  if (n >= 16) {
    const __m128i zero = _mm_setzero_si128();
    auto sixteen = [&](std::size_t at) {
      const __m128i plain =
          _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at)),
                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(masks + at)));
      if (_mm_movemask_epi8(_mm_cmpeq_epi8(plain, zero)) != 0) return false;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + at), plain);
      return true;
    };
    while (i + 16 <= n && sixteen(i)) i += 16;
    if (i + 16 > n && sixteen(n - 16)) return n;
  }
#endif
  // A word at a time while none holds a zero; the bytes may be unaligned.
  for (; i + 8 <= n; i += 8) {
    const std::uint64_t word = LoadWord(bytes + i) ^ LoadWord(masks + i);
    if (HasZeroByte(word)) break;
    std::memcpy(dest + i, &word, sizeof word);
  }
  for (; i < n; ++i) {
    std::uint8_t c = bytes[i] ^ masks[i];
    if (c == 0) return i;
    dest[i] = c;
  }
  return n;
}

}  // namespace

void ScramblePad::SetKey(const std::uint8_t* key, std::size_t keyLength) {
  // A whole number of keys long, so that a run can restart at its
  // beginning, and long enough for kPadRun bytes from any key position.
  keyLength_ = keyLength;
  pad_.resize((kPadRun + 2 * keyLength - 1) / keyLength * keyLength);
  for (std::size_t p = 0; p < keyLength; ++p)
    pad_[p] = static_cast<std::uint8_t>(key[p] ^ (p & 0xFF));
  for (std::size_t filled = keyLength; filled < pad_.size(); filled *= 2) {
    std::memcpy(pad_.data() + filled, pad_.data(), std::min(filled, pad_.size() - filled));
  }
}

void ScramblePad::Apply(std::uint8_t* bytes, std::size_t n, std::int64_t offset) const {
  if (n == 0 || keyLength_ == 0) return;
  std::size_t p = static_cast<std::size_t>(offset % static_cast<std::int64_t>(keyLength_));
  while (n > 0) {
    std::size_t run = std::min(n, pad_.size() - p);
    const std::uint8_t* from = pad_.data() + p;
    XorInPlace(bytes, from, run);
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
  writeErrno_ = 0;
  pastEnd_ = false;
  position_ = 0;
  limit_ = 0;
  streamOffset_ = 0;
  bufferOffset_ = 0;
  keyLength_ = kDefaultKeyLength;
  pad_.SetKey(reinterpret_cast<const std::uint8_t*>(kDefaultKey), kDefaultKeyLength);
  masks_ = pad_.From(0);
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
  keyLength_ = length;
  pad_.SetKey(reinterpret_cast<const std::uint8_t*>(key), length);
  // Bytes read ahead but not yet taken are unscrambled with the new key.
  masks_ = pad_.From(bufferOffset_);
  return keyLength_;
}

bool RecordStream::WriteHeaderWord(std::int32_t value) {
  if (error_ || file_ == kInvalidFile) return false;
  std::uint8_t bytes[4];
  StoreLittleEndian(bytes, static_cast<std::uint32_t>(value), 4);
  if (!FileWrite(file_, bytes, 4)) {
    WriteFailed();
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
}

bool RecordStream::ScrambleAndWrite(std::size_t n) {
  pad_.Apply(buffer_.data(), n, streamOffset_);
  streamOffset_ += static_cast<std::int64_t>(n);
  if (!FileWrite(file_, buffer_.data(), n)) {
    WriteFailed();
    return false;
  }
  return true;
}

void RecordStream::WriteFailed() {
  error_ = true;
  if (writeErrno_ == 0) writeErrno_ = errno;
}

void RecordStream::Refill(std::size_t n) {
  std::size_t tail = limit_ - position_;
  std::memmove(buffer_.data(), buffer_.data() + position_, tail);
  position_ = 0;
  limit_ = tail;
  bufferOffset_ = streamOffset_ - static_cast<std::int64_t>(tail);
  masks_ = pad_.From(bufferOffset_);
  std::size_t wanted = std::max(n, tail + kReadPiece) - tail;
  std::int64_t got = FileRead(file_, buffer_.data() + tail, wanted);
  if (got < 0) {
    error_ = true;
    return;
  }
  streamOffset_ += got;
  limit_ = tail + static_cast<std::size_t>(got);
}

bool RecordStream::EnsureFromFile(std::size_t n) {
  if (error_ || file_ == kInvalidFile) return false;
  Refill(n);
  if (error_) return false;
  if (limit_ - position_ < n) {
    pastEnd_ = true;
    return false;
  }
  return true;
}

std::int32_t RecordStream::ReadString(char* dest) {
  if (!dest || !Ensure(kStringHeader)) return 1;
  auto length = static_cast<std::int32_t>(Take(4));
  auto marker = static_cast<std::int32_t>(Take(1));
  if (marker != kStringMarker || length < 0 || length > kMaxStringLength) {
    error_ = true;
    return 1;
  }
  std::size_t n = static_cast<std::size_t>(length);
  if (n > 0 && !Ensure(n)) return 1;
  // A bounded string copy: up to the first zero byte, then zeros.
  std::size_t copied = UnscrambleToZero(reinterpret_cast<std::uint8_t*>(dest),
                                        buffer_.data() + position_, masks_ + position_, n);
  if (copied < n) std::memset(dest + copied, 0, n - copied);
  position_ += n;
  return static_cast<std::int32_t>(position_);
}

bool RecordStream::CloseWrite() {
  if (file_ == kInvalidFile) return false;
  if (!error_ && position_ > 0) ScrambleAndWrite(position_);
  position_ = 0;
  bool synced = !error_ && FileSync(file_);
  if (!synced && writeErrno_ == 0) writeErrno_ = errno;
  bool closed = FileClose(file_);
  file_ = kInvalidFile;
  // The caller learns why from errno, as from the system's own calls: the
  // reason of the first write that failed, whatever ran since.
  if (writeErrno_ != 0) errno = writeErrno_;
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
