#include "query/access/jet4/page_file.h"

namespace orbo::jet4 {

std::uint32_t PageFile::Add() {
  pages_.emplace_back(kPageSize, '\0');
  return Count() - 1;
}

QByteArray PageFile::Contents() const {
  QByteArray all;
  all.reserve(static_cast<qsizetype>(pages_.size()) * kPageSize);
  for (const QByteArray& page : pages_) all.append(page);
  return all;
}

bool PageFile::WriteTo(QIODevice& device) const {
  for (const QByteArray& page : pages_)
    if (device.write(page) != kPageSize) return false;
  return true;
}

}  // namespace orbo::jet4
