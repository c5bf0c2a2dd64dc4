#include <windows.h>

#include <string>

#include "orboinout/file_layer.h"

namespace oio {
namespace {

HANDLE Win(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

FileHandle Handle(HANDLE h) {
  return h == INVALID_HANDLE_VALUE ? kInvalidFile : reinterpret_cast<FileHandle>(h);
}

}  // namespace

std::string DiskSubfolder(std::string stored) { return stored; }

FileHandle FileCreate(const char* path) {
  return Handle(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileHandle FileOpenRead(const char* path) {
  return Handle(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool FileWrite(FileHandle file, const void* data, std::size_t n) {
  const char* bytes = static_cast<const char*>(data);
  while (n > 0) {
    DWORD chunk = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
    DWORD done = 0;
    if (!WriteFile(Win(file), bytes, chunk, &done, nullptr) || done == 0) return false;
    bytes += done;
    n -= done;
  }
  return true;
}

std::int64_t FileRead(FileHandle file, void* data, std::size_t n) {
  char* bytes = static_cast<char*>(data);
  std::size_t total = 0;
  while (total < n) {
    std::size_t left = n - total;
    DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
    DWORD done = 0;
    if (!ReadFile(Win(file), bytes + total, chunk, &done, nullptr)) return -1;
    if (done == 0) break;
    total += done;
  }
  return static_cast<std::int64_t>(total);
}

std::int64_t FileRemaining(FileHandle file) {
  LARGE_INTEGER size{}, here{}, zero{};
  if (!GetFileSizeEx(Win(file), &size) || !SetFilePointerEx(Win(file), zero, &here, FILE_CURRENT)) {
    return -1;
  }
  return size.QuadPart > here.QuadPart ? size.QuadPart - here.QuadPart : 0;
}

bool FileSync(FileHandle file) { return FlushFileBuffers(Win(file)) != 0; }

bool FileClose(FileHandle file) { return CloseHandle(Win(file)) != 0; }

bool FileIsSameAs(FileHandle open, const char* path) {
  // Only the attributes are needed; sharing everything keeps the probe from disturbing others.
  HANDLE other = CreateFileA(path, FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (other == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION openInfo{};
  BY_HANDLE_FILE_INFORMATION pathInfo{};
  bool same = GetFileInformationByHandle(Win(open), &openInfo) &&
              GetFileInformationByHandle(other, &pathInfo) &&
              openInfo.dwVolumeSerialNumber == pathInfo.dwVolumeSerialNumber &&
              openInfo.nFileIndexHigh == pathInfo.nFileIndexHigh &&
              openInfo.nFileIndexLow == pathInfo.nFileIndexLow;
  CloseHandle(other);
  return same;
}

bool MakeFolder(const char* path) {
  if (CreateDirectoryA(path, nullptr)) return true;
  if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace oio
