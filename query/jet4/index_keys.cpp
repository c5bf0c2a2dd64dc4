#include "query/jet4/index_keys.h"

#include <algorithm>

#include "query/jet4/page_bytes.h"

namespace orbo::jet4 {

namespace {

constexpr char kNotNull = 0x7F;
constexpr char kCyrillicLead = 0x79;

// Codes of the simple ASCII characters; 0 marks a character that is not
// simple, and a second byte follows for the few two-byte codes.
struct AsciiCode {
  char16_t c;
  unsigned char first;
  unsigned char second;
};

constexpr AsciiCode kPunctuation[] = {
    {u' ', 0x07, 0},    {u'!', 0x09, 0},    {u'"', 0x0A, 0}, {u'#', 0x0C, 0},  {u'$', 0x0E, 0},
    {u'%', 0x10, 0},    {u'&', 0x12, 0},    {u'(', 0x14, 0}, {u')', 0x16, 0},  {u'*', 0x18, 0},
    {u',', 0x1A, 0},    {u'.', 0x1C, 0},    {u'/', 0x1E, 0}, {u':', 0x20, 0},  {u';', 0x22, 0},
    {u'?', 0x24, 0},    {u'@', 0x26, 0},    {u'[', 0x27, 0}, {u'\\', 0x29, 0}, {u']', 0x2A, 0},
    {u'^', 0x2B, 2},    {u'_', 0x2B, 3},    {u'`', 0x2B, 7}, {u'{', 0x2B, 9},  {u'|', 0x2B, 0x0B},
    {u'}', 0x2B, 0x0D}, {u'~', 0x2B, 0x0F}, {u'+', 0x2C, 0}, {u'<', 0x2E, 0},  {u'=', 0x30, 0},
    {u'>', 0x32, 0},
};

constexpr unsigned char kLetterCodes[26] = {0x4A, 0x4C, 0x4D, 0x4F, 0x51, 0x53, 0x55, 0x57, 0x59,
                                            0x5B, 0x5C, 0x5E, 0x60, 0x62, 0x64, 0x66, 0x68, 0x69,
                                            0x6B, 0x6D, 0x6F, 0x71, 0x73, 0x75, 0x76, 0x78};
constexpr unsigned char kDigitCodes[10] = {0x36, 0x38, 0x3A, 0x3C, 0x3E,
                                           0x40, 0x42, 0x44, 0x46, 0x48};
// А..Я (U+0410..U+042F); lower case shares the codes.
constexpr unsigned char kCyrillicCodes[32] = {
    0x2F, 0x30, 0x31, 0x32, 0x33, 0x36, 0x38, 0x39, 0x3B, 0x3E, 0x40, 0x41, 0x43, 0x44, 0x46, 0x47,
    0x48, 0x49, 0x4A, 0x4D, 0x50, 0x51, 0x52, 0x53, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C};

const AsciiCode* FindPunctuation(char16_t c) {
  const auto* found = std::find_if(std::begin(kPunctuation), std::end(kPunctuation),
                                   [c](const AsciiCode& code) { return code.c == c; });
  return found == std::end(kPunctuation) ? nullptr : found;
}

// Appends the code of a key character; returns false for any other.
bool AppendCode(QByteArray& out, char16_t c) {
  if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  if (c >= u'a' && c <= u'z') {
    out.append(static_cast<char>(kLetterCodes[c - u'a']));
  } else if (c >= u'0' && c <= u'9') {
    out.append(static_cast<char>(kDigitCodes[c - u'0']));
  } else if (c >= u'\u0410' && c <= u'\u044F') {
    out.append(kCyrillicLead);
    out.append(static_cast<char>(kCyrillicCodes[(c - u'\u0410') % 32]));
  } else if (const AsciiCode* code = FindPunctuation(c)) {
    out.append(static_cast<char>(code->first));
    if (code->second != 0) out.append(static_cast<char>(code->second));
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool IsKeyCharacter(QChar c) {
  QByteArray unused;
  return AppendCode(unused, c.unicode());
}

QByteArray TextKey(QStringView text) {
  QByteArray key(1, kNotNull);
  for (QChar c : text) AppendCode(key, c.unicode());
  key.append('\x01');
  key.append('\x00');
  return key;
}

QByteArray LongKey(std::int32_t value) {
  QByteArray key(1, kNotNull);
  AppendU32BigEndian(key, static_cast<std::uint32_t>(value) ^ 0x80000000u);
  return key;
}

}  // namespace orbo::jet4
