#include "forms/icons/image_list.h"

#include <QDir>

#include "forms/icons/icon_image.h"
#include "storage/picture_reader.h"

namespace orbo {
namespace {

constexpr int kMaxUserIconFolders = 256;

}  // namespace

void ImageList::Add(const QString& key, const QImage& image) {
  if (Contains(key)) return;
  index_.insert(key, Count());
  keys_.append(key);
  images_.push_back(
      image.size() == QSize(kIconSize, kIconSize)
          ? image
          : image.scaled(kIconSize, kIconSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

QImage ImageList::Image(const QString& key) const {
  int index = IndexOf(key);
  return index < 0 ? QImage() : images_[index];
}

void EnsureIcon(ImageList& list, const IconFolders& folders, const QString& key) {
  if (list.Contains(key)) return;
  std::optional<QImage> picture =
      ReadPicture(folders.userIcons + u'/' + QString(key).replace(u'\\', u'/'));
  if (!picture) picture = ReadPicture(folders.noIcon);
  if (picture) list.Add(key, *picture);
}

void LoadUserIcons(ImageList& list, const IconFolders& folders,
                   const std::function<void(int)>& progress) {
  const QDir root(folders.userIcons);
  QStringList subfolders = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  if (subfolders.size() > kMaxUserIconFolders) subfolders = subfolders.mid(0, kMaxUserIconFolders);
  for (int i = 0; i < subfolders.size(); ++i) {
    progress(i * 100 / subfolders.size());
    const QStringList files =
        QDir(root.filePath(subfolders[i]))
            .entryList({QStringLiteral("*.gif"), QStringLiteral("*.bmp")}, QDir::Files, QDir::Name);
    for (const QString& file : files) EnsureIcon(list, folders, subfolders[i] + u'\\' + file);
  }
}

}  // namespace orbo
