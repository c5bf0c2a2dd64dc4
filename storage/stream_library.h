// The binding to the storage library orboinout. The library is loaded by
// name at the first stream call (the program folder first, then the system
// search path) and each export is resolved at its first use; a missing
// library or export raises StorageError in the caller.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace orbo::stream {

// Longest string record the library copies; a read destination holds this.
inline constexpr int kMaxStringBytes = 100000;

// A folder searched before the program folder (tests point it at the
// folder the library is built into).
void SetLibraryFolder(const QString& folder);

std::int32_t OpenWrite(const QByteArray& path);
std::int32_t OpenInput(const QByteArray& path);
void SetPassword(const QByteArray& key);

bool WriteH4(std::int32_t value);
bool InputH4(std::int32_t* value);

void Write4(std::int32_t value);
void Write2(std::int16_t value);
void WriteS(const char* text);
void Input4(std::int32_t* value);
void Input2(std::int16_t* value);
// dest must hold kMaxStringBytes bytes.
std::int32_t InputS(char* dest);

bool CloseWrite();
bool CloseInput();

struct InputState {
  bool failed = false;
  // A read asked for bytes the file did not have.
  bool pastEnd = false;
};
InputState QueryInputState();
// Body bytes not yet consumed; asks the file system, so not for every item.
std::int32_t UnreadBytes();

}  // namespace orbo::stream
