// orbo: the window program. The whole command line is the path of a
// database to open.
#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "shell/program_folder.h"
#include "shell/qt_dialogs.h"
#include "shell/settings_store.h"

namespace {

constexpr char kHelp[] =
    "usage: orbo [FILE.2db]\n"
    "Corvane Database: forms, records in a tree of folders, find, sort and print.\n"
    "Opens FILE.2db, or the database of the last run.\n\n"
    "  --help     show this text and end\n"
    "  --version  show the version and end\n";

}  // namespace

int main(int argc, char** argv) {
  // Answered before any window system is needed.
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("orbo %s\n", ORBO_VERSION);
    return 0;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("orbo"));
  QApplication::setApplicationVersion(QStringLiteral(ORBO_VERSION));
  QApplication::setQuitOnLastWindowClosed(false);
  orbo::QtDialogs dialogs;

  const QString exeDir = QApplication::applicationDirPath();
  const QString userFolder =
      QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
          .filePath(QLatin1String(orbo::kInstalledFolderName));
  QString why;
  const QString programFolder = orbo::PrepareProgramFolder(exeDir, userFolder, &why);
  if (programFolder.isEmpty()) {
    dialogs.ShowMessage(nullptr,
                        QStringLiteral("The program's files cannot be prepared: %1").arg(why),
                        orbo::kOkOnly);
    return 1;
  }

  QStringList arguments = QApplication::arguments().mid(1);
  orbo::App app(programFolder, orbo::SettingsFilePath(), dialogs, orbo::RecoveryFolderPath());
  if (!app.Main(arguments.join(u' '))) return 0;
  return QApplication::exec();
}
