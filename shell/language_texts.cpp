#include "shell/language_texts.h"

#include <QFile>
#include <QTextStream>
#include <QtDebug>

namespace orbo {
namespace {

// The number a header line begins with, read from its first five characters.
int GroupNumber(const QString& line) {
  QString head = line.left(5);
  int i = 0;
  while (i < head.size() && head[i] == u' ') ++i;
  int number = 0;
  for (; i < head.size() && head[i].isDigit() && head[i].unicode() < 128; ++i) {
    number = number * 10 + head[i].digitValue();
  }
  return number;
}

QStringList ReadLines(const QString& path, bool* ok) {
  QFile file(path);
  *ok = file.open(QIODevice::ReadOnly | QIODevice::Text);
  QStringList lines;
  if (!*ok) return lines;
  QTextStream in(&file);
  in.setEncoding(QStringConverter::Utf8);
  while (!in.atEnd()) lines.append(in.readLine());
  return lines;
}

}  // namespace

bool LanguageTexts::Load(const QString& path) {
  bool ok = false;
  QStringList lines = ReadLines(path, &ok);
  return ok && LoadLines(lines);
}

bool LanguageTexts::LoadLines(const QStringList& lines) {
  int position = 0;
  for (const QString& line : lines) {
    if (line.size() <= 4 || line.startsWith(u'[')) continue;
    if (!line.startsWith(u' ')) {
      int group = GroupNumber(line);
      if (group >= kGroupCount) return false;
      groupStart_[group] = static_cast<std::int16_t>(position);
      defined_.set(group);
    }
    if (position >= kTextCount) return false;
    texts_[position++] = line.mid(7);
    stored_ = std::max(stored_, position);
  }
  return true;
}

bool LanguageTexts::Has(int group, int entry) const {
  return group >= 0 && group < kGroupCount && entry >= 0 && defined_.test(group) &&
         groupStart_[group] + entry < stored_;
}

QString LanguageTexts::Get(int group, int entry) const {
#ifndef NDEBUG
  // Parts made before the language file is read ask too; they ask again.
  if (stored_ > 0 && !Has(group, entry))
    qWarning("language text %d/%d is not in the language file", group, entry);
#endif
  if (group < 0 || group >= kGroupCount || entry < 0) return {};
  int position = groupStart_[group] + entry;
  return position < kTextCount ? texts_[position] : QString();
}

QString LanguageTexts::Count(TextId id, qint64 n) const {
  const QStringList forms = Get(id).split(u'|');
  const qint64 tens = n % 100;
  const qint64 ones = n % 10;
  qsizetype form = 0;
  if (forms.size() == 2) {
    form = n == 1 ? 0 : 1;
  } else if (forms.size() >= 3) {
    const bool teen = tens >= 11 && tens <= 14;
    form = ones == 1 && !teen ? 0 : ones >= 2 && ones <= 4 && !teen ? 1 : 2;
  }
  return forms[form].arg(n);
}

QString LanguageCaption(const QString& path) {
  bool ok = false;
  QStringList lines = ReadLines(path, &ok);
  return lines.isEmpty() ? QString() : lines.first();
}

}  // namespace orbo
