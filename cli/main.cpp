// orbo-cli: the database file as JSON (dump, build) and its vital counts
// (info), without the window program.
#include <QCoreApplication>

#include "cli/cli_commands.h"

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  return orbo::RunCli(app.arguments().mid(1), stdout, stderr);
}
