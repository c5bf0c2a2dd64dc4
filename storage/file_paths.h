// One name for one file: the paths the program keeps (the open database,
// recent files, recovery notes, the watched file, backups) are absolute, with
// "." and ".." resolved and symbolic links followed. A relative path would
// name another file once the working folder changed, and a file reached
// through a link would have its backups listed in one place and kept in
// another.
#pragma once

#include <QString>
#include <optional>

namespace orbo {

// The file path finally names, following symbolic links even to a file that
// does not exist yet; none when the links go round in a loop.
std::optional<QString> FollowLinks(const QString& path);

// FollowLinks, or the absolute, cleaned path where the links loop.
QString CanonicalFilePath(const QString& path);

}  // namespace orbo
