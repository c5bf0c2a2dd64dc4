// Little-endian and big-endian byte helpers and the page geometry every
// other part of the writer shares.
#pragma once

#include <QByteArray>
#include <bit>
#include <cstdint>

namespace orbo::jet4 {

inline constexpr int kPageSize = 4096;

// A row on a page: its page number and its slot (one byte, so at most 256).
struct RowPointer {
  std::uint32_t page = 0;
  std::uint8_t row = 0;
  // The form used by TDEFs, memo headers and LVAL chains: row in the low byte.
  std::uint32_t Packed() const { return page << 8 | row; }
};

inline void SetU16(char* at, std::uint32_t value) {
  at[0] = static_cast<char>(value & 0xFF);
  at[1] = static_cast<char>(value >> 8 & 0xFF);
}

inline void SetU32(char* at, std::uint32_t value) {
  SetU16(at, value & 0xFFFF);
  SetU16(at + 2, value >> 16);
}

inline void SetDouble(char* at, double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  SetU32(at, static_cast<std::uint32_t>(bits));
  SetU32(at + 4, static_cast<std::uint32_t>(bits >> 32));
}

inline void AppendU8(QByteArray& out, std::uint32_t value) {
  out.append(static_cast<char>(value & 0xFF));
}

inline void AppendU16(QByteArray& out, std::uint32_t value) {
  AppendU8(out, value);
  AppendU8(out, value >> 8);
}

inline void AppendU32(QByteArray& out, std::uint32_t value) {
  AppendU16(out, value & 0xFFFF);
  AppendU16(out, value >> 16);
}

inline void AppendU32BigEndian(QByteArray& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) AppendU8(out, value >> shift);
}

// Index entries point at rows with the page in three big-endian bytes, so
// that byte order equals row order.
inline void AppendIndexRowPointer(QByteArray& out, RowPointer row) {
  AppendU32BigEndian(out, row.page << 8 | row.row);
}

}  // namespace orbo::jet4
