// The commands of orbo-cli. Each returns the exit status; output goes to
// out, a failure is one line on err.
#pragma once

#include <QStringList>
#include <cstdio>

namespace orbo {

// args: the command line without the program name.
int RunCli(const QStringList& args, std::FILE* out, std::FILE* err);

}  // namespace orbo
