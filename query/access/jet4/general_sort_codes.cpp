#include "query/access/jet4/general_sort_codes.h"

#include <QHash>

namespace orbo::jet4 {

namespace {

// Consecutive characters from `first` on, one token each:
//   "4A"      a simple code (one to four bytes, in hex)
//   "51+0E"   an accented letter: the code of its base letter + its accent
//   "!80"     an unprintable character and its code
//   "^0C"     a combining mark and what it adds to the accent before it
//   "."       an ignored character
// The byte values are those of the published General (legacy) sort order
// tables. The blocks cover the characters of every single-byte code page
// (Windows, ISO 8859, KOI8, Mac and the IBM ones) and little else.
struct CodeBlock {
  char16_t first;
  const char* tokens;
};

// clang-format off
constexpr CodeBlock kBlocks[] = {
    // U+0000-U+017E, Basic Latin, Latin-1, Latin Extended-A
    {0x0000, ". !03 !04 !05 !06 !07 !08 !09 !0A 0803 0804 0805 0806 0807 !0B !0C !0D !0E !0F "
             "!10 !11 !12 !13 !14 !15 !16 !17 !18 !19 !1A !1B !1C 07 09 0A 0C 0E 10 12 !80 14 "
             "16 18 2C 1A !82 1C 1E 36 38 3A 3C 3E 40 42 44 46 48 20 22 2E 30 32 24 26 4A 4C "
             "4D 4F 51 53 55 57 59 5B 5C 5E 60 62 64 66 68 69 6B 6D 6F 71 73 75 76 78 27 29 "
             "2A 2B02 2B03 2B07 4A 4C 4D 4F 51 53 55 57 59 5B 5C 5E 60 62 64 66 68 69 6B 6D "
             "6F 71 73 75 76 78 2B09 2B0B 2B0D 2B0F !1D !1E !1F !20 !21 !22 !23 !24 !25 !26 "
             "!27 !28 !29 !2A !2B !2C !2D !2E !2F !30 !31 !32 !33 !34 !35 !36 !37 !38 !39 !3A "
             "!3B !3C !3D 0802 2B10 34A6 34A7 34A8 34A9 2B11 34AA 2B12 34AB 4A+03 3305 34AC "
             "!83 34AD 2B13 34AE 3304 3A 3C 2B14 34AF 34B0 34B1 2B15 38 64+03 3307 3712 3716 "
             "371A 2B16 4A+0F 4A+0E 4A+12 4A+19 4A+13 4A+1A 4A51 4D+1C 51+0F 51+0E 51+12 "
             "51+13 59+0F 59+0E 59+12 59+13 4F+68 62+19 64+0F 64+0E 64+12 64+19 64+13 3309 "
             "64+21 6F+0F 6F+0E 6F+12 6F+13 76+0E 6D57 6B6B 4A+0F 4A+0E 4A+12 4A+19 4A+13 "
             "4A+1A 4A51 4D+1C 51+0F 51+0E 51+12 51+13 59+0F 59+0E 59+12 59+13 4F+68 62+19 "
             "64+0F 64+0E 64+12 64+19 64+13 330A 64+21 6F+0F 6F+0E 6F+12 6F+13 76+0E 6D57 "
             "76+13 4A+17 4A+17 4A+15 4A+15 4A+1B 4A+1B 4D+0E 4D+0E 4D+12 4D+12 4D+10 4D+10 "
             "4D+14 4D+14 4F+14 4F+14 4F+1E 4F+1E 51+17 51+17 51+15 51+15 51+10 51+10 51+1B "
             "51+1B 51+14 51+14 55+12 55+12 55+15 55+15 55+10 55+10 55+1C 55+1C 57+12 57+12 "
             "57+1E 57+1E 59+19 59+19 59+17 59+17 59+15 59+15 59+1B 59+1B 59+10 59+03 595B "
             "595B 5B+12 5B+12 5C+1C 5C+1C 5C+03 5E+0E 5E+0E 5E+1C 5E+1C 5E+14 5E+14 5E+11 "
             "5E+11 5E+1F 5E+1F 62+0E 62+0E 62+1C 62+1C 62+14 62+14 62+48 6305 6305 64+17 "
             "64+17 64+15 64+15 64+1D 64+1D 6451 6451 69+0E 69+0E 69+1C 69+1C 69+14 69+14 "
             "6B+0E 6B+0E 6B+12 6B+12 6B+1C 6B+1C 6B+14 6B+14 6D+1C 6D+1C 6D+14 6D+14 6E06+1E "
             "6E06+1E 6F+19 6F+19 6F+17 6F+17 6F+15 6F+15 6F+1A 6F+1A 6F+1D 6F+1D 6F+1B 6F+1B "
             "73+12 73+12 76+12 76+12 76+13 78+0E 78+0E 78+10 78+10 78+14 78+14"},
    // U+0192-U+01B0, Latin Extended-B
    {0x0192, "53+7B 55+43 55+7B 57+7B 59+7B 59+1E 5C+43 5C+43 5E+1E 5E+20 60+7B 62+43 62+7B "
             "64+20 64+52 64+52 64+7C 64+7C 66+43 66+43 69+7B 6B+87 6B+87 6B+7C 6B+7F 6D+57 "
             "6D+43 6D+43 6D+59 6F+52 6F+52"},
    // U+02C6-U+02C7, spacing modifiers
    {0x02C6, "2B02+03 2B18"},
    // U+02D8-U+02DD, spacing modifiers
    {0x02D8, "2B18+03 2B19 2B1A 2B1B 2B1C 2B1D"},
    // U+0300-U+0309, combining marks
    {0x0300, "^0D ^0C ^10 ^17 ^15 ^3E ^13 ^0E ^11 ^3F"},
    // U+0323-U+0323, combining dot below
    {0x0323, "^56"},
    // U+037A-U+03CE, Greek
    {0x037A, "2B20 . . . 2B21 . . . . . 2B22 2B23 790C+05 . 7910+05 7912+05 7914+05 . 791A+05 "
             ". 791F+05 7923+05 7914+16 790C 790D 790E 790F 7910 7911 7912 7913 7914 7915 "
             "7916 7917 7918 7919 791A 791B 791C . 791D 791E 791F 7920 7921 7922 7923 7914+13 "
             "791F+13 790C+05 7910+05 7912+05 7914+05 791F+16 790C 790D 790E 790F 7910 7911 "
             "7912 7913 7914 7915 7916 7917 7918 7919 791A 791B 791C 791D 791D 791E 791F 7920 "
             "7921 7922 7923 7914+13 791F+13 791A+05 791F+05 7923+05"},
    // U+0401-U+045F, Cyrillic
    {0x0401, "7936+13 7935 7932+0E 7937 793A 793C 793D 793F 7942 7945 794B 7940+0E . 794E "
             "7954 792F 7930 7931 7932 7933 7936 7938 7939 793B 793E 7940 7941 7943 7944 7946 "
             "7947 7948 7949 794A 794D 7950 7951 7952 7953 7955 7956 7957 7958 7959 795A 795B "
             "795C 792F 7930 7931 7932 7933 7936 7938 7939 793B 793E 7940 7941 7943 7944 7946 "
             "7947 7948 7949 794A 794D 7950 7951 7952 7953 7955 7956 7957 7958 7959 795A 795B "
             "795C . 7936+13 7935 7932+0E 7937 793A 793C 793D 793F 7942 7945 794B 7940+0E . "
             "794E 7954"},
    // U+0490-U+0491, Cyrillic
    {0x0490, "7932+03 7932+03"},
    // U+05B0-U+05F4, Hebrew
    {0x05B0, "^22 ^23 ^24 ^25 ^26 ^27 ^28 ^29 ^2A ^2B ^2C ^2D ^2E ^2F 2B2A ^30 ^31 ^32 ^33 "
             "2B2B . . . . . . . . . . . . 7994 7995 7996 7997 7998 7999 799A 799B 799C 799D "
             "799E 799E 799F 79A0 79A0 79A1 79A1 79A2 79A3 79A4 79A4 79A5 79A5 79A6 79A7 79A8 "
             "79A9 . . . . . 79997999 7999799D 799D799D 2B2C 2B2D"},
    // U+060C-U+0652, Arabic
    {0x060C, "2B2E . . . . . . . . . . . . . . 2B2F . . . 2B30 . 79AA 79AA+03 79AA+04 79AA+05 "
             "79AA+06 79AA+07 79AB+08 79AC+08 79AE+08 79AE+08 79AF+08 79B0+08 79B2+08 79B3+08 "
             "79B4+08 79B5+08 79B6+08 79B7+08 79B9+08 79BA+08 79BB+08 79BC+08 79BD+08 79BE+08 "
             "79BF+08 79C0+08 . . . . . . 79C1+08 79C2+08 79C3+08 79C5+08 79C6+08 79C7+08 "
             "79C8+08 79C9+08 79CA+05 79CA+07 !A0 !A1 !A2 !A3 !A4 !A5 4A !A6"},
    // U+0679-U+0698, Arabic
    {0x0679, "79D4 79D5 79D6 79D7 79D8 79AD+08 79D9 79DA 79DB 79DC 79DD 79DE 79DF 79B1+08 "
             "79E0 79E1 79E2 79E3 79E4 79E5 79E6 79E7 79E8 79E9 79EA 79EB 79EC 79ED 79EE 79EF "
             "79F0 79B8+08"},
    // U+06A9-U+06C1, Arabic
    {0x06A9, "7A03 7A04 7A05 7A06 7A07 7A08 79C4+08 7A09 7A0A 7A0B 7A0C 7A0D 7A0E 7A0F 7A10 "
             "7A11 7A12 7A13 7A14 7A15 7A16 7A17 7A18 7A19 7A1A"},
    // U+06D2-U+06D2, Arabic
    {0x06D2, "7A2B"},
    // U+06F0-U+06F9, Arabic digits
    {0x06F0, "3703+39 3903+39 3B03+39 3D03+39 3F03+39 4104+39 4303+39 4503+39 4703+39 4903+39"},
    // U+0E01-U+0E5B, Thai
    {0x0E01, "7C98+03 7C9E+03 7CA4+03 7CAA+03 7CB0+03 7CB6+03 7CBC+03 7CC2+03 7CC8+03 7CCE+03 "
             "7CD4+03 7CDA+03 7CE0+03 7CE6+03 7CEC+03 7CF2+03 7CF8+03 7CFE+03 7D06+03 7D0C+03 "
             "7D12+03 7D18+03 7D1E+03 7D24+03 7D2A+03 7D30+03 7D36+03 7D3C+03 7D42+03 7D48+03 "
             "7D4E+03 7D54+03 7D5A+03 7D60+03 7D66+03 7D6C+03 7D72+03 7D78+03 7D7E+03 7D84+03 "
             "7D8A+03 7D90+03 7D96+03 7D9C+03 7DA2+03 7DA8+03 7DAE+03 7DAF+03 7DB0+03 7DB1+03 "
             "7DB2+03 7DB3+03 7DB4+03 7DB5+03 7DB6+03 7DB7+03 7DB8+03 7DB9+03 . . . . 359F "
             "7C93+03 7C94+03 7C95+03 7C96+03 7C97+03 7DBA+03 7DBB+03 ^02 ^03 ^04 ^05 ^06 . "
             "^07 7DBC+03 7DBD+03 370C+44 390D+44 3B0D+44 3D0D+44 3F0D+44 410E+44 430D+44 "
             "450D+44 470D+44 490D+44 7DBE+03 7DBF+03"},
    // U+0E81-U+0EDD, Lao
    {0x0E81, "7D93 7D94 . 7D95 . . 7D96 7D97 . 7D98 . . 7D99 . . . . . . 7D9A 7D9B 7D9C 7D9D "
             ". 7D9E 7D9F 7DA0 7DA1 7DA2 7DA3 7DA4 . 7DA5 7DA6 7DA7 . 7DA8 . 7DA9 . . 7DAA "
             "7DAB . 7DAC 7DAD 7DAE 7DAF ^03 7DB0 7DB1 ^04 ^05 ^06 ^07 ^08 ^09 . ^0A ^0B 7DB2 "
             ". . 7DB3 7DB4 7DB5 7DB6 7DB7 . 7DB8 . ^0C ^0D ^0E ^0F ^10 ^11 . . 370D+45 "
             "390E+45 3B0E+45 3D0E+45 3F0E+45 410F+45 430E+45 450E+45 470E+45 490E+45 . . "
             "7DB9 7DBA"},
    // U+1E02-U+1E0B, Latin Extended Additional
    {0x1E02, "4C+10 4C+10 4C+58 4C+58 4C+55 4C+55 4D+28 4D+28 4F+10 4F+10"},
    // U+1E1E-U+1E1F, Latin Extended Additional
    {0x1E1E, "53+10 53+10"},
    // U+1E40-U+1E41, Latin Extended Additional
    {0x1E40, "60+10 60+10"},
    // U+1E56-U+1E6B, Latin Extended Additional
    {0x1E56, "66+10 66+10 69+10 69+10 69+58 69+58 69+6E 69+6E 69+55 69+55 6B+10 6B+10 6B+58 "
             "6B+58 6B+1D 6B+1D 6B+22 6B+22 6B+68 6B+68 6D+10 6D+10"},
    // U+1E80-U+1E85, Latin Extended Additional
    {0x1E80, "73+0F 73+0F 73+0E 73+0E 73+13 73+13"},
    // U+1EF2-U+1EF3, Latin Extended Additional
    {0x1EF2, "76+0F 76+0F"},
    // U+200C-U+2044, punctuation
    {0x200C, "0814 . . . !84 !85 !88 !89 !8B !8C 2B35 2B36 2B37 2B38 2B39 2B3A 2B3B 2B3C 2B3D "
             "2B3E 34B3 34B4 34B5 34B6 34B7 34B8 34B9 !86 0815 0816 . . . . . . 34BA 34BB "
             "2B3F 2B40 2B41 2B42 2B43 2B44 2B45 2B46 2B47 34BC 2B48 2B49 2B4A 2B4B 34BD 34BE "
             "34BF !87 2D05"},
    // U+20AA-U+20AF, currency signs
    {0x20AA, "34CA 34CB 35A1 . . ."},
    // U+2116-U+2122, letterlike symbols
    {0x2116, "6302 35A0 66+04 66+03 68+03 69+04 69+05 69+03 6A02 6A03 6C03 6E02 6E04"},
    // U+2202-U+222B, mathematical operators
    {0x2202, "3310 3311 3312 3313 3314 3315 3316 3317 3318 3319 331A 331B 331C 331D 331E 331F "
             "2D02 2D0A 3320 2D06 3321 2D07 2D08 2D09 3322 3323 3324 3325 492D 3326 3327 3328 "
             "3329 332A 332B 332C 332D 332E 332F 3330 3331 3332"},
    // U+2248-U+2248, mathematical operators
    {0x2248, "334F"},
    // U+2260-U+2265, mathematical operators
    {0x2260, "3367 3368 3369 336A 336B 336C"},
    // U+2320-U+2321, integral halves
    {0x2320, "3408 3409"},
    // U+2500-U+253C, box drawing
    {0x2500, "348C+03 348C+04 348F+03 348F+04 348C+05 348C+06 348F+05 348F+06 348C+07 348C+08 "
             "348F+07 348F+08 3492+03 3492+04 3492+05 3492+06 3493+03 3493+04 3493+05 3493+06 "
             "3494+03 3494+04 3494+05 3494+06 3495+03 3495+04 3495+05 3495+06 3496+03 3496+04 "
             "3496+05 3496+06 3496+07 3496+08 3496+09 3496+0A 3497+03 3497+04 3497+05 3497+06 "
             "3497+07 3497+08 3497+09 3497+0A 3498+03 3498+04 3498+05 3498+06 3498+07 3498+08 "
             "3498+09 3498+0A 3499+03 3499+04 3499+05 3499+06 3499+07 3499+08 3499+09 3499+0A "
             "349A+03"},
    // U+2550-U+256C, box drawing
    {0x2550, "348C+0B 348F+0B 3492+07 3492+08 3492+09 3493+07 3493+08 3493+09 3494+07 3494+08 "
             "3494+09 3495+07 3495+08 3495+09 3496+0B 3496+0C 3496+0D 3497+0B 3497+0C 3497+0D "
             "3498+0B 3498+0C 3498+0D 3499+0B 3499+0C 3499+0D 349A+13 349A+14 349A+15"},
    // U+2580-U+2593, block elements
    {0x2580, "34A1+03 349E+03 349F+03 34A0+03 34A1+04 34A2+03 34A3+03 34A4+03 34A5+03 34A4+04 "
             "34A3+04 34A2+04 34A1+05 34A0+04 349F+04 349E+04 34A1+06 34A5+04 34A5+05 34A5+06"},
    // U+25A0-U+25A0, geometric shapes
    {0x25A0, "3463+03"},
    // U+25CA-U+25CA, geometric shapes
    {0x25CA, "346F+03"},
    // U+F8A0-U+F8A0, private use
    {0xF8A0, "FED2"},
    // U+F8C1-U+F8C8, private use
    {0xF8C1, "FEF3 FEF4 FEF5 FEF6 FEF7 FEF8 FEF9 FEFA"},
    // U+F8FB-U+F8FF, private use
    {0xF8FB, "FF2F FF30 FF31 FF32 FF33"},
    // U+FB01-U+FB02, ligatures
    {0xFB01, "5359 535E"},
    // U+FB56-U+FB68, Arabic presentation forms
    {0xFB56, ". . . . . . . . . . . . . . . . . . ."},
    // U+FB7A-U+FBB0, Arabic presentation forms
    {0xFB7A, ". . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . "
             ". . . . . . . . . . . . . . ."},
    // U+FBFC-U+FBFE, Arabic presentation forms
    {0xFBFC, ". . ."},
    // U+FE7C-U+FEED, Arabic presentation forms
    {0xFE7C, "4A 4A !A6 !A6 79AA 79AA+03 79AA+03 79AA+04 79AA+04 79AA+05 79AA+05 79AA+06 "
             "79AA+06 79AA+07 79AA+07 79AA+07 79AA+07 79AB+08 79AB+08 79AC+08 79AC+08 79AC+08 "
             "79AC+08 79AE+08 79AE+08 79AE+08 79AE+08 79AE+08 79AE+08 79AF+08 79AF+08 79AF+08 "
             "79AF+08 79B0+08 79B0+08 79B0+08 79B0+08 79B2+08 79B2+08 79B2+08 79B2+08 79B3+08 "
             "79B3+08 79B3+08 79B3+08 79B4+08 79B4+08 79B5+08 79B5+08 79B6+08 79B6+08 79B7+08 "
             "79B7+08 79B9+08 79B9+08 79B9+08 79B9+08 79BA+08 79BA+08 79BA+08 79BA+08 79BB+08 "
             "79BB+08 79BB+08 79BB+08 79BC+08 79BC+08 79BC+08 79BC+08 79BD+08 79BD+08 79BD+08 "
             "79BD+08 79BE+08 79BE+08 79BE+08 79BE+08 79BF+08 79BF+08 79BF+08 79BF+08 79C0+08 "
             "79C0+08 79C0+08 79C0+08 79C1+08 79C1+08 79C1+08 79C1+08 79C2+08 79C2+08 79C2+08 "
             "79C2+08 79C3+08 79C3+08 79C3+08 79C3+08 79C5+08 79C5+08 79C5+08 79C5+08 79C6+08 "
             "79C6+08 79C6+08 79C6+08 79C7+08 79C7+08 79C7+08 79C7+08 79C8+08 79C8+08 79C8+08 "
             "79C8+08 79C9+08"},
    // U+FFFD-U+FFFD, replacement character
    {0xFFFD, "."},
};
// clang-format on

CharCode Parsed(const QByteArray& token) {
  CharCode code;
  if (token == ".") return code;
  if (token.startsWith('!') || token.startsWith('^')) {
    code.kind = token.startsWith('!') ? CodeKind::Unprintable : CodeKind::Mark;
    code.extra = QByteArray::fromHex(token.mid(1));
    return code;
  }
  const qsizetype plus = token.indexOf('+');
  code.kind = plus < 0 ? CodeKind::Simple : CodeKind::Accented;
  code.text = QByteArray::fromHex(token.left(plus < 0 ? token.size() : plus));
  if (plus >= 0) code.extra = QByteArray::fromHex(token.mid(plus + 1));
  return code;
}

QHash<char16_t, CharCode> ParsedTable() {
  QHash<char16_t, CharCode> codes;
  for (const CodeBlock& block : kBlocks) {
    char16_t c = block.first;
    for (const QByteArray& token : QByteArray(block.tokens).split(' '))
      codes.insert(c++, Parsed(token));
  }
  return codes;
}

}  // namespace

const CharCode* GeneralSortCode(char16_t c) {
  static const QHash<char16_t, CharCode> codes = ParsedTable();
  const auto found = codes.constFind(c);
  return found == codes.constEnd() ? nullptr : &found.value();
}

}  // namespace orbo::jet4
