#include "query/access/jet4/header_page.h"

#include <array>
#include <cstring>
#include <utility>

#include "query/access/jet4/index_keys.h"
#include "query/access/jet4/page_bytes.h"

namespace orbo::jet4 {

namespace {

constexpr int kMaskStart = 0x18;
constexpr int kMaskLength = 128;

QByteArray Rc4Keystream(const std::array<unsigned char, 4>& key, int length) {
  std::array<unsigned char, 256> state;
  for (int i = 0; i < 256; ++i) state[i] = static_cast<unsigned char>(i);
  for (int i = 0, j = 0; i < 256; ++i) {
    j = (j + state[i] + key[i % key.size()]) & 0xFF;
    std::swap(state[i], state[j]);
  }
  QByteArray out(length, '\0');
  for (int n = 0, i = 0, j = 0; n < length; ++n) {
    i = (i + 1) & 0xFF;
    j = (j + state[i]) & 0xFF;
    std::swap(state[i], state[j]);
    out[n] = static_cast<char>(state[(state[i] + state[j]) & 0xFF]);
  }
  return out;
}

}  // namespace

double OleDate(const QDateTime& time) {
  // Wall-clock time, as Jet stores it: no time zone or daylight-saving shift.
  constexpr double kMsecsPerDay = 86'400'000.0;
  return static_cast<double>(QDate(1899, 12, 30).daysTo(time.date())) +
         time.time().msecsSinceStartOfDay() / kMsecsPerDay;
}

QByteArray HeaderMaskKeystream() { return Rc4Keystream({0xC7, 0xDA, 0x39, 0x6B}, kMaskLength); }

QByteArray HeaderPage(double created) {
  QByteArray page(kPageSize, '\0');
  char* p = page.data();
  p[1] = 0x01;
  std::memcpy(p + 0x04, "Standard Jet DB", 16);
  p[0x14] = 0x01;  // Jet 4
  static constexpr unsigned char kFixedStart[24] = {0, 1, 0, 0, 1, 1, 0, 0, 2, 0, 0, 0,
                                                    3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0};
  std::memcpy(p + 0x18, kFixedStart, sizeof kFixedStart);
  SetU16(p + 0x3C, 1252);  // code page; text itself is UCS-2
  // An empty password is stored as the date-derived mask, repeated.
  const auto mask = static_cast<std::uint32_t>(static_cast<std::int32_t>(created));
  for (int at = 0x42; at < 0x6A; at += 4) SetU32(p + at, mask);
  SetU16(p + 0x6E, kSortOrderLcid);
  SetDouble(p + 0x72, created);
  static constexpr unsigned char kTrailer[8] = {0x54, 0x06, 0, 0, 0x34, 0x2E, 0x30, 0};
  std::memcpy(p + 0x98, kTrailer, sizeof kTrailer);
  for (int at = 0xE00; at < kPageSize; at += 2) p[at + 1] = 0x01;
  p[0xE00] = 0x01;
  const QByteArray keystream = HeaderMaskKeystream();
  for (int i = 0; i < kMaskLength; ++i) p[kMaskStart + i] ^= keystream[i];
  return page;
}

}  // namespace orbo::jet4
