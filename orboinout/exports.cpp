// The C entry points: one stream and one archive for the whole process.
#include <algorithm>
#include <cstring>
#include <limits>

#include "orboinout/file_archive.h"
#include "orboinout/orboinout.h"
#include "orboinout/record_stream.h"

namespace {

// At namespace scope, so that the small reads and writes reach it without a
// guard of its construction on every call.
oio::RecordStream theStream;

oio::RecordStream& Stream() { return theStream; }

oio::FileArchive& Archive() {
  static oio::FileArchive archive;
  return archive;
}

std::int32_t HandleResult(oio::FileHandle file) {
  return file == oio::kInvalidFile ? -1 : static_cast<std::int32_t>(file);
}

}  // namespace

extern "C" {

int32_t OIO_CALL cppOpenWrite(const char* path) { return HandleResult(Stream().OpenWrite(path)); }

int32_t OIO_CALL cppOpenInput(const char* path) { return HandleResult(Stream().OpenInput(path)); }

int32_t OIO_CALL cppSetPassword(const char* key) {
  return static_cast<int32_t>(Stream().SetKey(key));
}

int32_t OIO_CALL cppWriteH4(int32_t value) { return Stream().WriteHeaderWord(value) ? 1 : 0; }

int32_t OIO_CALL cppInputH4(int32_t* value) { return Stream().ReadHeaderWord(value) ? 1 : 0; }

void OIO_CALL cppWrite4(int32_t value) { Stream().Write4(value); }

void OIO_CALL cppWrite2(int16_t value) { Stream().Write2(value); }

void OIO_CALL xcppWriteS(const char* text) {
  if (text) Stream().WriteString(text, std::strlen(text));
}

void OIO_CALL cppInput4(int32_t* value) { Stream().Read4(value); }

void OIO_CALL cppInput2(int16_t* value) { Stream().Read2(value); }

int32_t OIO_CALL xcppInputS(char* dest) { return Stream().ReadString(dest); }

int32_t OIO_CALL cppCloseWrite(void) { return Stream().CloseWrite() ? 1 : 0; }

int32_t OIO_CALL cppCloseInput(void) { return Stream().CloseInput() ? 1 : 0; }

int32_t OIO_CALL cppInputState(int32_t* pastEnd, int32_t* unread) {
  const oio::RecordStream& stream = Stream();
  if (pastEnd) *pastEnd = stream.PastEnd() ? 1 : 0;
  if (unread) {
    std::int64_t bytes = stream.UnreadBytes();
    *unread =
        static_cast<int32_t>(std::min<std::int64_t>(bytes, std::numeric_limits<int32_t>::max()));
  }
  return stream.Failed() ? 1 : 0;
}

int32_t OIO_CALL oioStartArh(const char* archiveName, const char* base) {
  return Archive().Start(archiveName, base);
}

int32_t OIO_CALL oioAddFile(const char* name, const char* subfolder) {
  return Archive().Add(name, subfolder);
}

int32_t OIO_CALL oioCloseArh(void) { return Archive().Close(); }

int32_t OIO_CALL oioExtract(const char* archiveName, const char* target) {
  return oio::FileArchive::Extract(archiveName, target);
}

}  // extern "C"
