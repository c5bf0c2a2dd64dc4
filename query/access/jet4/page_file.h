// The file being built, page by page, in memory; written out once at the end.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <cstdint>
#include <deque>

#include "query/access/jet4/page_bytes.h"

namespace orbo::jet4 {

class PageFile {
 public:
  // Appends a zeroed page and returns its number.
  std::uint32_t Add();
  char* Page(std::uint32_t number) { return pages_[number].data(); }
  const char* Page(std::uint32_t number) const { return pages_[number].data(); }
  std::uint32_t Count() const { return static_cast<std::uint32_t>(pages_.size()); }
  QByteArray Contents() const;
  // Page by page, so a large file is never held twice.
  bool WriteTo(QIODevice& device) const;

 private:
  std::deque<QByteArray> pages_;
};

}  // namespace orbo::jet4
