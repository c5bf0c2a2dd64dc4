// orbo-cli: the database file as JSON (dump, build), its vital counts
// (info) and its records as PDF pages (print), without the window program.
#include <QCoreApplication>
#include <QGuiApplication>

#include "cli/cli_commands.h"

namespace {

QtMessageHandler qtMessages = nullptr;

// A failure of the cli is one line of its own; the platform's notes about
// its setting (no runtime folder, fonts) are not for the user.
void KeepSevereMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if ((type == QtCriticalMsg || type == QtFatalMsg) && qtMessages)
    qtMessages(type, context, message);
}

}  // namespace

int main(int argc, char* argv[]) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  if (!orbo::CliDrawsPages(args)) {
    QCoreApplication app(argc, argv);
    return orbo::RunCli(app.arguments().mid(1), stdout, stderr);
  }
  // Pages need fonts; the cli never shows a window, so no display is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qtMessages = qInstallMessageHandler(KeepSevereMessages);
  QGuiApplication app(argc, argv);
  return orbo::RunCli(app.arguments().mid(1), stdout, stderr);
}
