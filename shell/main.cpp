// orbo: the window program. The whole command line is the path of a
// database to open.
#include <QApplication>

#include "shell/app.h"
#include "shell/qt_dialogs.h"
#include "shell/settings_store.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("orbo"));
  QApplication::setQuitOnLastWindowClosed(false);

  QStringList arguments = QApplication::arguments().mid(1);
  orbo::QtDialogs dialogs;
  orbo::App app(QApplication::applicationDirPath(), orbo::SettingsFilePath(), dialogs);
  if (!app.Main(arguments.join(u' '))) return 0;
  return QApplication::exec();
}
