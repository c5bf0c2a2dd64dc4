// The few file calls the library makes, one implementation per platform.
// Paths go to the system exactly as given: on POSIX "\" is an ordinary
// character of a file name, so rewriting it would reach another file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace oio {

using FileHandle = std::intptr_t;
inline constexpr FileHandle kInvalidFile = -1;

// Creates or truncates a file for writing; others may read and write it meanwhile.
FileHandle FileCreate(const char* path);
// Opens an existing file for reading.
FileHandle FileOpenRead(const char* path);

// Writes all n bytes; false when any could not be written.
bool FileWrite(FileHandle file, const void* data, std::size_t n);
// Reads up to n bytes, fewer only at the end of the file; -1 on error.
std::int64_t FileRead(FileHandle file, void* data, std::size_t n);
// Bytes between the current position and the end of the file; -1 on error.
std::int64_t FileRemaining(FileHandle file);
// Makes the file's written bytes durable before it is closed.
bool FileSync(FileHandle file);
bool FileClose(FileHandle file);
// True when path names the very file that is open, also through a link; false when path does not
// exist.
bool FileIsSameAs(FileHandle open, const char* path);

// An archive's stored subfolder ("docs\") in the form of this system's paths.
std::string DiskSubfolder(std::string stored);

// Creates one folder level; an existing folder is fine.
bool MakeFolder(const char* path);

}  // namespace oio
