#include "query/access/jet4/index_tree.h"

#include <algorithm>
#include <cstring>

#include "query/access/jet4/page_bytes.h"

namespace orbo::jet4 {

namespace {

constexpr char kNodePage = 0x03;
constexpr char kLeafPage = 0x04;
constexpr int kEntryBitmap = 0x1B;
constexpr int kEntrySpace = kPageSize - kIndexEntriesStart;

struct LevelPage {
  std::uint32_t page;
  QByteArray lastEntry;
};

void WriteIndexPage(char* page, char type, std::uint32_t tdefPage,
                    const std::vector<QByteArray>& entries) {
  page[0] = type;
  page[1] = 0x01;
  SetU32(page + 4, tdefPage);
  int used = 0;
  for (const QByteArray& entry : entries) {
    std::memcpy(page + kIndexEntriesStart + used, entry.constData(), entry.size());
    used += static_cast<int>(entry.size());
    // A set bit marks where an entry ends.
    page[kEntryBitmap + used / 8] =
        static_cast<char>(page[kEntryBitmap + used / 8] | 1 << (used % 8));
  }
  SetU16(page + 2, kEntrySpace - used);
}

// Packs the entries of one level into pages, linked both ways.
std::vector<LevelPage> BuildLevel(PageFile& file, char type, std::uint32_t tdefPage,
                                  const std::vector<QByteArray>& entries,
                                  std::vector<std::uint32_t>& allPages) {
  std::vector<LevelPage> level;
  std::vector<QByteArray> pageEntries;
  int used = 0;
  auto flush = [&] {
    const std::uint32_t page = file.Add();
    WriteIndexPage(file.Page(page), type, tdefPage, pageEntries);
    if (!level.empty()) {
      SetU32(file.Page(level.back().page) + 0x10, page);
      SetU32(file.Page(page) + 0x0C, level.back().page);
    }
    level.push_back({page, pageEntries.empty() ? QByteArray() : pageEntries.back()});
    allPages.push_back(page);
    pageEntries.clear();
    used = 0;
  };
  for (const QByteArray& entry : entries) {
    if (used + entry.size() > kEntrySpace) flush();
    pageEntries.push_back(entry);
    used += static_cast<int>(entry.size());
  }
  flush();
  return level;
}

}  // namespace

BuiltIndex BuildIndex(PageFile& file, std::uint32_t tdefPage, std::vector<IndexEntry> entries) {
  std::vector<QByteArray> leafEntries;
  leafEntries.reserve(entries.size());
  for (const IndexEntry& entry : entries) {
    QByteArray bytes = entry.key;
    AppendIndexRowPointer(bytes, entry.row);
    leafEntries.push_back(bytes);
  }
  // Key bytes, then the big-endian row pointer: plain byte order sorts both.
  std::sort(leafEntries.begin(), leafEntries.end());
  std::sort(entries.begin(), entries.end(),
            [](const IndexEntry& a, const IndexEntry& b) { return a.key < b.key; });

  BuiltIndex built;
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (i == 0 || entries[i].key != entries[i - 1].key) ++built.distinctKeys;

  std::vector<LevelPage> level = BuildLevel(file, kLeafPage, tdefPage, leafEntries, built.pages);
  while (level.size() > 1) {
    std::vector<QByteArray> nodeEntries;
    for (const LevelPage& child : level) {
      QByteArray entry = child.lastEntry;
      AppendU32BigEndian(entry, child.page);
      nodeEntries.push_back(entry);
    }
    level = BuildLevel(file, kNodePage, tdefPage, nodeEntries, built.pages);
  }
  built.root = level.front().page;
  std::sort(built.pages.begin(), built.pages.end());
  return built;
}

}  // namespace orbo::jet4
