// The archive extractor: whatever the archive holds, nothing appears outside
// the target folder, and no link is made.
#include <QDir>
#include <QDirIterator>

#include "fuzz_support.h"
#include "orboinout/orboinout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orbo;
  const QString root = fuzz::ScratchFolder() + QStringLiteral("/root");
  const QString target = root + QStringLiteral("/target/");
  QDir(root).removeRecursively();
  fuzz::Require(QDir().mkpath(target), "the target folder cannot be made");
  fuzz::WriteInput(data, size, QStringLiteral("root/target/in.arh"));
  oioExtract("in.arh", QFile::encodeName(target).constData());
  // The whole scratch folder is looked at: an entry that climbed out of the
  // target would land beside it.
  QDirIterator made(fuzz::ScratchFolder(),
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
  while (made.hasNext()) {
    const QString path = made.next();
    const bool inside = path == root || (path + QLatin1Char('/')).startsWith(target);
    fuzz::Require(inside, "an entry was written outside the target folder");
    fuzz::Require(!QFileInfo(path).isSymbolicLink(), "the extractor made a link");
  }
  return 0;
}
