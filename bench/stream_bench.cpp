// Throughput of the record stream against one plain write and read of the
// same number of bytes. Both sides sync the file before closing, as a save does.
// Two bodies: one shaped like a database's records (the same run of item
// kinds again and again, texts of random length), and one of item kinds in
// random order, where the loop that calls the stream mispredicts most kinds.
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

// The items, kept compact so that walking them costs the loops little
// beside the stream: kinds 0 (16-bit), 1 (32-bit) and 2 (text), a number per
// item (a text's length) and the texts one after another, each ending in a
// zero byte.
struct Items {
  std::vector<std::uint8_t> kinds;
  std::vector<std::int32_t> numbers;
  std::vector<char> texts;
};

constexpr double kTargetBytes = 50e6;

// A record of the first body: form and folder, six texts, two flags, a
// colour and a note.
constexpr std::uint8_t kRecordKinds[] = {0, 0, 2, 2, 2, 2, 2, 2, 0, 0, 1, 2};

Items MakeItems(bool recordShaped, std::size_t* bodyBytes) {
  std::mt19937 random(42);
  Items items;
  *bodyBytes = 0;
  for (std::size_t i = 0; *bodyBytes < kTargetBytes; ++i) {
    int kind =
        recordShaped ? kRecordKinds[i % std::size(kRecordKinds)] : static_cast<int>(random() % 3);
    items.kinds.push_back(static_cast<std::uint8_t>(kind));
    auto number = static_cast<std::int32_t>(random());
    std::size_t length = 0;
    if (kind == 2) {
      length = random() % 301;
      number = static_cast<std::int32_t>(length);
      items.texts.insert(items.texts.end(), length, static_cast<char>('a' + random() % 26));
      items.texts.push_back('\0');
    }
    items.numbers.push_back(number);
    *bodyBytes += kind == 0 ? 2 : kind == 1 ? 4 : 5 + length;
  }
  return items;
}

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double StreamWrite(const std::string& path, const Items& items) {
  auto start = std::chrono::steady_clock::now();
  cppOpenWrite(path.c_str());
  const char* text = items.texts.data();
  for (std::size_t i = 0; i < items.kinds.size(); ++i) {
    switch (items.kinds[i]) {
      case 0:
        cppWrite2(static_cast<std::int16_t>(items.numbers[i]));
        break;
      case 1:
        cppWrite4(items.numbers[i]);
        break;
      default:
        xcppWriteS(text);
        text += items.numbers[i] + 1;
    }
  }
  if (!cppCloseWrite()) std::fprintf(stderr, "stream write failed\n");
  return Seconds(start);
}

double StreamRead(const std::string& path, const Items& items) {
  std::vector<char> text(OIO_MAX_STRING);
  std::int32_t value = 0;
  std::int16_t small = 0;
  long long check = 0;
  auto start = std::chrono::steady_clock::now();
  cppOpenInput(path.c_str());
  for (std::uint8_t kind : items.kinds) {
    switch (kind) {
      case 0:
        cppInput2(&small), check += small;
        break;
      case 1:
        cppInput4(&value), check += value;
        break;
      default:
        check += xcppInputS(text.data());
    }
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

void Compare(const char* title, bool recordShaped, const std::string& streamPath,
             const std::string& plainPath) {
  std::size_t bodyBytes = 0;
  Items items = MakeItems(recordShaped, &bodyBytes);
  std::vector<char> plain(bodyBytes, 'x');
  double mb = static_cast<double>(bodyBytes) / 1e6;

  // Best of five, so one slow disk moment or a busy machine does not decide.
  double streamWrite = 1e9, streamRead = 1e9, plainWrite = 1e9, plainRead = 1e9;
  for (int round = 0; round < 5; ++round) {
    streamWrite = std::min(streamWrite, StreamWrite(streamPath, items));
    streamRead = std::min(streamRead, StreamRead(streamPath, items));
    plainWrite = std::min(plainWrite, PlainWrite(plainPath, plain));
    plainRead = std::min(plainRead, PlainRead(plainPath, &plain));
  }
  std::printf("%s: %zu items, %.1f MB body\n", title, items.kinds.size(), mb);
  std::printf("  write: stream %8.1f MB/s   plain %8.1f MB/s   ratio %.2f\n", mb / streamWrite,
              mb / plainWrite, plainWrite / streamWrite);
  std::printf("  read:  stream %8.1f MB/s   plain %8.1f MB/s   ratio %.2f\n", mb / streamRead,
              mb / plainRead, plainRead / streamRead);
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path();
  std::string streamPath = (folder / "stream_bench.bin").string();
  std::string plainPath = (folder / "stream_bench.raw").string();
  Compare("records", true, streamPath, plainPath);
  Compare("random item kinds", false, streamPath, plainPath);
  std::filesystem::remove(streamPath);
  std::filesystem::remove(plainPath);
  return 0;
}
