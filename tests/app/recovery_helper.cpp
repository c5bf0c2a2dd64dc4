// Started by tst_app and killed there with SIGKILL: the program with unsaved
// changes, once it has written its recovery copy.
#include <QApplication>
#include <QLineEdit>
#include <cstdio>

#include "../test_install.h"
#include "app/recovery_keeper.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  // The program folder, then the database to open.
  const QStringList args = QApplication::arguments();
  if (args.size() != 3) return 2;
  orbo::stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  FakeDialogs dialogs;
  orbo::App app(args[1], args[1] + QStringLiteral("/config/orbo118.ini"), dialogs);
  if (!app.Main(args[2])) return 2;
  app.Parts().Window().Commands().Menu("mnuAddFolder")->trigger();
  emit app.Parts().Window().RootText().textEdited(QStringLiteral("Work not saved"));
  app.Recovery().WriteNow();
  app.Recovery().Wait();
  std::printf("ready\n");
  std::fflush(stdout);
  return QApplication::exec();
}
