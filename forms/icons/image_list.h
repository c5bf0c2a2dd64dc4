// The main window's keyed table of 16 x 16 pictures: built-in icons, then
// the user icons ("subfolder\file name" below icons/usericons), then any key
// a database names.
#pragma once

#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace orbo {

class ImageList {
 public:
  bool Contains(const QString& key) const { return index_.contains(key); }
  // A key already in the list keeps its picture.
  void Add(const QString& key, const QImage& image);
  int Count() const { return static_cast<int>(keys_.size()); }
  // 0-based position in list order; -1 when missing.
  int IndexOf(const QString& key) const { return index_.value(key, -1); }
  const QString& KeyAt(int index) const { return keys_[index]; }
  const QImage& ImageAt(int index) const { return images_[index]; }
  QImage Image(const QString& key) const;

 private:
  QStringList keys_;
  std::vector<QImage> images_;
  QHash<QString, int> index_;
};

// Where the pictures behind the keys live.
struct IconFolders {
  QString userIcons;  // icons/usericons, no trailing separator
  QString noIcon;     // icons/noico.bmp
};

// Gives key a picture: the user icon of that name, else the no-icon picture.
void EnsureIcon(ImageList& list, const IconFolders& folders, const QString& key);

// Adds the .gif and .bmp files of every subfolder of the user icons (files
// directly in the folder are not read; at most 256 subfolders). progress
// gets the share done, 0 to 99.
void LoadUserIcons(ImageList& list, const IconFolders& folders,
                   const std::function<void(int)>& progress);

}  // namespace orbo
