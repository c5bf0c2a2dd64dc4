#include "orboinout/file_archive.h"

#include <cstring>
#include <vector>

#include "orboinout/orboinout.h"

namespace oio {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool WriteWord(FileHandle file, std::int32_t value) {
  std::uint8_t bytes[4];
  for (int i = 0; i < 4; ++i)
    bytes[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
  return FileWrite(file, bytes, 4);
}

bool ReadWord(FileHandle file, std::int32_t* value) {
  std::uint8_t bytes[4];
  if (FileRead(file, bytes, 4) != 4) return false;
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
  *value = static_cast<std::int32_t>(v);
  return true;
}

bool ReadText(FileHandle file, std::int32_t length, std::string* text) {
  text->assign(static_cast<std::size_t>(length), '\0');
  return FileRead(file, text->data(), text->size()) == length;
}

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::vector<char>* content) {
  FileHandle file = FileOpenRead(path.c_str());
  if (file == kInvalidFile) return false;
  std::int64_t size = FileRemaining(file);
  bool ok = size >= 0 && size <= INT32_MAX;
  if (ok) {
    content->resize(static_cast<std::size_t>(size));
    ok = FileRead(file, content->data(), content->size()) == size;
  }
  FileClose(file);
  return ok;
}

bool WriteWholeFile(const std::string& path, const std::vector<char>& content) {
  FileHandle file = FileCreate(path.c_str());
  if (file == kInvalidFile) return false;
  bool ok = FileWrite(file, content.data(), content.size());
  return FileClose(file) && ok;
}

// A stored subfolder or name must stay below the target folder: no absolute
// path, no drive, no "..", and a name has no folder part at all.
bool StaysInside(const std::string& text, bool allowFolders) {
  if (text.empty() || IsSeparator(text[0]) || text.find(':') != std::string::npos) return false;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = start;
    while (end < text.size() && !IsSeparator(text[end])) ++end;
    std::string part = text.substr(start, end - start);
    if (part == "..") return false;
    if (end < text.size() && !allowFolders) return false;
    start = end + 1;
  }
  return text != "." && text != "..";
}

// The packer refuses what the extractor would skip, so every packed entry can be unpacked. A
// subfolder shorter than 2 characters means none.
bool EntryStaysInside(const std::string& subfolder, const std::string& name) {
  return (subfolder.size() < 2 || StaysInside(subfolder, true)) && StaysInside(name, false);
}

}  // namespace

FileArchive::~FileArchive() {
  if (file_ != kInvalidFile) FileClose(file_);
}

std::int32_t FileArchive::Start(const char* archiveName, const char* base) {
  if (file_ != kInvalidFile) return OIO_ERR_BUSY;
  if (!archiveName || !base) return OIO_ERR_OPEN;
  std::string path = std::string(base) + archiveName;
  if (path.size() > OIO_MAX_NAME) return OIO_ERR_TOO_LONG;
  file_ = FileCreate(path.c_str());
  if (file_ == kInvalidFile) return OIO_ERR_OPEN;
  base_ = base;
  return static_cast<std::int32_t>(file_);
}

std::int32_t FileArchive::Add(const char* name, const char* subfolder) {
  if (file_ == kInvalidFile) return OIO_ERR_NOT_OPEN;
  if (!name || !subfolder) return OIO_ERR_OPEN;
  std::size_t nameLength = std::strlen(name);
  std::size_t subLength = std::strlen(subfolder);
  if (nameLength > OIO_MAX_NAME || subLength > OIO_MAX_NAME) return OIO_ERR_TOO_LONG;
  if (!EntryStaysInside(subfolder, name)) return OIO_ERR_UNSAFE;
  bool hasFolder = subLength >= 2;
  std::string path = base_ + (hasFolder ? DiskSubfolder(subfolder) : "") + name;
  if (path.size() > OIO_MAX_NAME) return OIO_ERR_TOO_LONG;

  std::vector<char> content;
  if (!ReadWholeFile(path, &content)) return OIO_ERR_OPEN;

  // An empty subfolder stored as 0 would end the archive there and hide every
  // later entry; 1 means the same folder and keeps them readable.
  bool ok = WriteWord(file_, static_cast<std::int32_t>(subLength == 0 ? 1 : subLength)) &&
            (!hasFolder || FileWrite(file_, subfolder, subLength)) &&
            WriteWord(file_, static_cast<std::int32_t>(nameLength)) &&
            FileWrite(file_, name, nameLength) &&
            WriteWord(file_, static_cast<std::int32_t>(content.size())) &&
            FileWrite(file_, content.data(), content.size());
  return ok ? OIO_OK : OIO_ERR_WRITE;
}

std::int32_t FileArchive::Close() {
  if (file_ == kInvalidFile) return OIO_ERR_NOT_OPEN;
  bool ok = WriteWord(file_, 0) && FileSync(file_);
  ok = FileClose(file_) && ok;
  file_ = kInvalidFile;
  base_.clear();
  return ok ? OIO_OK : OIO_ERR_WRITE;
}

std::int32_t FileArchive::Extract(const char* archiveName, const char* target) {
  if (!archiveName || !target) return OIO_ERR_OPEN;
  std::string base(target);
  std::string archivePath = base + archiveName;
  if (archivePath.size() > OIO_MAX_NAME) return OIO_ERR_TOO_LONG;
  FileHandle file = FileOpenRead(archivePath.c_str());
  if (file == kInvalidFile) return OIO_ERR_OPEN;

  std::int32_t result = OIO_OK;
  auto note = [&result](std::int32_t error) {
    if (result == OIO_OK) result = error;
  };
  for (;;) {
    std::int32_t subLength = 0;
    if (!ReadWord(file, &subLength)) {
      result = OIO_ERR_DAMAGED;
      break;
    }
    if (subLength <= 0) break;
    std::string subfolder;
    std::string name;
    std::int32_t nameLength = 0;
    std::int32_t size = 0;
    bool hasFolder = subLength >= 2;
    bool wellFormed = subLength <= OIO_MAX_NAME &&
                      (!hasFolder || ReadText(file, subLength, &subfolder)) &&
                      ReadWord(file, &nameLength) && nameLength >= 0 &&
                      nameLength <= OIO_MAX_NAME && ReadText(file, nameLength, &name) &&
                      ReadWord(file, &size) && size >= 0 && size <= FileRemaining(file);
    std::vector<char> content;
    if (wellFormed) {
      content.resize(static_cast<std::size_t>(size));
      wellFormed = FileRead(file, content.data(), content.size()) == size;
    }
    if (!wellFormed) {
      result = OIO_ERR_DAMAGED;
      break;
    }
    std::string folder = base + DiskSubfolder(subfolder);
    std::string path = folder + name;
    // The archive itself is never written over: that would truncate it and lose the entries
    // still to be read.
    if (!EntryStaysInside(subfolder, name) || FileIsSameAs(file, path.c_str())) {
      note(OIO_ERR_UNSAFE);
      continue;
    }
    if (path.size() > OIO_MAX_NAME) {
      note(OIO_ERR_TOO_LONG);
      continue;
    }
    if ((hasFolder && !MakeFolder(folder.c_str())) || !WriteWholeFile(path, content)) {
      note(OIO_ERR_WRITE);
    }
  }
  FileClose(file);
  return result;
}

}  // namespace oio
