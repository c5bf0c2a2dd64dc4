// The commands of orbo-cli. Each returns the exit status; output goes to
// out, a failure is one line on err.
#pragma once

#include <QStringList>
#include <cstdio>

namespace orbo {

// Whether the command draws pages, which takes the fonts of a GUI application.
bool CliDrawsPages(const QStringList& args);

// args: the command line without the program name.
int RunCli(const QStringList& args, std::FILE* out, std::FILE* err);

}  // namespace orbo
