// Throughput of the record stream against one plain write and read of the
// same number of bytes. Both sides sync the file before closing, as a save does.
//   stream_bench [folder]   (default: the system's temporary folder)
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "orboinout/orboinout.h"

namespace {

struct Item {
  int kind;  // 0: 16-bit, 1: 32-bit, 2: text
  std::int32_t number;
  std::string text;
};

constexpr double kTargetBytes = 50e6;

std::vector<Item> MakeItems(std::size_t* bodyBytes) {
  std::mt19937 random(42);
  std::vector<Item> items;
  *bodyBytes = 0;
  while (*bodyBytes < kTargetBytes) {
    int kind = static_cast<int>(random() % 3);
    Item item{kind, static_cast<std::int32_t>(random()), {}};
    if (kind == 2) item.text.assign(random() % 301, static_cast<char>('a' + random() % 26));
    *bodyBytes += kind == 0 ? 2 : kind == 1 ? 4 : 5 + item.text.size();
    items.push_back(std::move(item));
  }
  return items;
}

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double StreamWrite(const std::string& path, const std::vector<Item>& items) {
  auto start = std::chrono::steady_clock::now();
  cppOpenWrite(path.c_str());
  for (const Item& item : items) {
    if (item.kind == 0) cppWrite2(static_cast<std::int16_t>(item.number));
    if (item.kind == 1) cppWrite4(item.number);
    if (item.kind == 2) xcppWriteS(item.text.c_str());
  }
  if (!cppCloseWrite()) std::fprintf(stderr, "stream write failed\n");
  return Seconds(start);
}

double StreamRead(const std::string& path, const std::vector<Item>& items) {
  std::vector<char> text(OIO_MAX_STRING);
  std::int32_t value = 0;
  std::int16_t small = 0;
  long long check = 0;
  auto start = std::chrono::steady_clock::now();
  cppOpenInput(path.c_str());
  for (const Item& item : items) {
    if (item.kind == 0) cppInput2(&small), check += small;
    if (item.kind == 1) cppInput4(&value), check += value;
    if (item.kind == 2) check += xcppInputS(text.data());
  }
  if (cppInputState(nullptr, nullptr)) std::fprintf(stderr, "stream read failed\n");
  cppCloseInput();
  double seconds = Seconds(start);
  if (check == 0) std::fprintf(stderr, "(unlikely checksum)\n");
  return seconds;
}

double PlainWrite(const std::string& path, const std::vector<char>& bytes) {
  auto start = std::chrono::steady_clock::now();
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
      ::fsync(fd) != 0) {
    std::fprintf(stderr, "plain write failed\n");
  }
  ::close(fd);
  return Seconds(start);
}

double PlainRead(const std::string& path, std::vector<char>* bytes) {
  auto start = std::chrono::steady_clock::now();
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0 || ::read(fd, bytes->data(), bytes->size()) != static_cast<ssize_t>(bytes->size())) {
    std::fprintf(stderr, "plain read failed\n");
  }
  ::close(fd);
  return Seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path();
  std::string streamPath = (folder / "stream_bench.bin").string();
  std::string plainPath = (folder / "stream_bench.raw").string();

  std::size_t bodyBytes = 0;
  std::vector<Item> items = MakeItems(&bodyBytes);
  std::vector<char> plain(bodyBytes, 'x');
  double mb = static_cast<double>(bodyBytes) / 1e6;

  // Best of three, so one slow disk moment does not decide.
  double streamWrite = 1e9, streamRead = 1e9, plainWrite = 1e9, plainRead = 1e9;
  for (int round = 0; round < 3; ++round) {
    streamWrite = std::min(streamWrite, StreamWrite(streamPath, items));
    streamRead = std::min(streamRead, StreamRead(streamPath, items));
    plainWrite = std::min(plainWrite, PlainWrite(plainPath, plain));
    plainRead = std::min(plainRead, PlainRead(plainPath, &plain));
  }
  std::filesystem::remove(streamPath);
  std::filesystem::remove(plainPath);

  std::printf("%zu items, %.1f MB body\n", items.size(), mb);
  std::printf("write: stream %8.1f MB/s   plain %8.1f MB/s   ratio %.2f\n", mb / streamWrite,
              mb / plainWrite, plainWrite / streamWrite);
  std::printf("read:  stream %8.1f MB/s   plain %8.1f MB/s   ratio %.2f\n", mb / streamRead,
              mb / plainRead, plainRead / streamRead);
  return 0;
}
