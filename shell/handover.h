// The request a second instance of the program leaves for the running one in
// data/multiprog.dat: come to the front, and maybe load a database.
#pragma once

#include <QString>

namespace orbo {

struct HandOverRequest {
  enum Kind { None, Update, Load } kind = None;
  QString path;  // with Load
};

// The line a second instance writes for its command line.
QString HandOverLine(const QString& commandLine);
// What the running instance makes of the first line of the file; only the
// first four characters decide.
HandOverRequest ParseHandOverLine(const QString& line);

}  // namespace orbo
