#include "storage/stream_library.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <memory>

#include "orboinout/orboinout.h"
#include "storage/storage_error.h"

namespace orbo::stream {
namespace {

static_assert(kMaxStringBytes == OIO_MAX_STRING);

const QString kLibraryName = QStringLiteral("orboinout");

QString& ExtraFolder() {
  static QString folder;
  return folder;
}

std::unique_ptr<QLibrary>& LoadedLibrary() {
  static std::unique_ptr<QLibrary> library;
  return library;
}

std::unique_ptr<QLibrary> TryLoad(const QString& fileName) {
  auto library = std::make_unique<QLibrary>(fileName);
  if (!library->load()) return nullptr;
  return library;
}

QLibrary& Library() {
  std::unique_ptr<QLibrary>& library = LoadedLibrary();
  if (library) return *library;
  QStringList folders;
  if (!ExtraFolder().isEmpty()) folders << ExtraFolder();
  if (QCoreApplication::instance()) {
    // Beside the program in a build folder; in a folder of its own below
    // lib/ in an installed copy.
    const QDir programDir(QCoreApplication::applicationDirPath());
    folders << programDir.path() << programDir.filePath(QStringLiteral("../lib/corvane-database"));
  }
  for (const QString& folder : folders) {
    library = TryLoad(QDir(folder).filePath(kLibraryName));
    if (library) return *library;
  }
  library = TryLoad(kLibraryName);
  if (!library) {
    throw StorageError(QStringLiteral("the storage library %1 cannot be loaded").arg(kLibraryName));
  }
  return *library;
}

// Resolves one export at its first use and keeps it.
template <typename Fn>
Fn Export(Fn& cached, const char* name) {
  if (!cached) {
    cached = reinterpret_cast<Fn>(Library().resolve(name));
    if (!cached) {
      throw StorageError(
          QStringLiteral("the storage library has no export %1").arg(QLatin1String(name)));
    }
  }
  return cached;
}

#define ORBO_EXPORT(name)                      \
  [] {                                         \
    static decltype(&::name) cached = nullptr; \
    return Export(cached, #name);              \
  }()

}  // namespace

void SetLibraryFolder(const QString& folder) { ExtraFolder() = folder; }

std::int32_t OpenWrite(const QByteArray& path) {
  return ORBO_EXPORT(cppOpenWrite)(path.constData());
}
std::int32_t OpenInput(const QByteArray& path) {
  return ORBO_EXPORT(cppOpenInput)(path.constData());
}
void SetPassword(const QByteArray& key) { ORBO_EXPORT(cppSetPassword)(key.constData()); }

bool WriteH4(std::int32_t value) { return ORBO_EXPORT(cppWriteH4)(value) != 0; }
bool InputH4(std::int32_t* value) { return ORBO_EXPORT(cppInputH4)(value) != 0; }

void Write4(std::int32_t value) { ORBO_EXPORT(cppWrite4)(value); }
void Write2(std::int16_t value) { ORBO_EXPORT(cppWrite2)(value); }
void WriteS(const char* text) { ORBO_EXPORT(xcppWriteS)(text); }
void Input4(std::int32_t* value) { ORBO_EXPORT(cppInput4)(value); }
void Input2(std::int16_t* value) { ORBO_EXPORT(cppInput2)(value); }
std::int32_t InputS(char* dest) { return ORBO_EXPORT(xcppInputS)(dest); }

bool CloseWrite() { return ORBO_EXPORT(cppCloseWrite)() != 0; }
bool CloseInput() { return ORBO_EXPORT(cppCloseInput)() != 0; }

InputState QueryInputState() {
  std::int32_t pastEnd = 0;
  InputState state;
  state.failed = ORBO_EXPORT(cppInputState)(&pastEnd, nullptr) != 0;
  state.pastEnd = pastEnd != 0;
  return state;
}

std::int32_t UnreadBytes() {
  std::int32_t unread = 0;
  ORBO_EXPORT(cppInputState)(nullptr, &unread);
  return unread;
}

}  // namespace orbo::stream
