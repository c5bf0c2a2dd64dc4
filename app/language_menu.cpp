#include "app/language_menu.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>

#include "app/app_texts.h"
#include "app/storage_adapter.h"
#include "shell/main_commands.h"
#include "shell/window_services.h"
#include "storage/code_page.h"
#include "storage/storage_error.h"

namespace orbo {
namespace {

// Shown when no language file could be read, so in no language's words.
constexpr auto kLanguageLoadFailed = "Error in loading text file";

}  // namespace

LanguageMenu::LanguageMenu(MainCommands& commands, const WorkingFiles& files, LanguageTexts& texts,
                           StorageAdapter& storage, WindowServices& services,
                           std::function<void()> onTextsApplied)
    : commands_(commands),
      files_(files),
      texts_(texts),
      storage_(storage),
      services_(services),
      onTextsApplied_(std::move(onTextsApplied)) {}

void LanguageMenu::Load() {
  const QString folder = files_.Below(QStringLiteral("Texts"));
  std::optional<QString> current = files_.ReadFirstLine(folder + QStringLiteral("/current.dat"),
                                                        QStringLiteral("LoadCurrentLang"));
  if (!current) return;
  QMenu* menu = commands_.Submenu("mnuLang");
  const QStringList names =
      QDir(folder).entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
  for (int i = 0; i < names.size(); ++i) {
    const QString path = folder + u'/' + names[i];
    std::optional<QString> caption = files_.ReadFirstLine(path, QStringLiteral("LoadCurrentLang2"));
    if (!caption) return;
    QAction* item = menu->addAction(*caption);
    item->setObjectName(QStringLiteral("mnuLang2_%1").arg(i));
    item->setData(names[i]);
    item->setCheckable(true);
    commands_.OnTriggered(item, [this, i] { Choose(i); });
    if (names[i] != *current) continue;
    item->setChecked(true);
    current_ = i;
    std::optional<QStringList> lines = files_.ReadLines(path, QStringLiteral("txtLoad"));
    if (!lines) return;
    LoadLanguage(*lines);
  }
  menu->menuAction()->setEnabled(!menu->isEmpty());
  ApplyTexts();
}

void LanguageMenu::ApplyTexts() {
  commands_.ApplyTexts(texts_);
  onTextsApplied_();
}

void LanguageMenu::LoadLanguage(const QStringList& lines) {
  bool loaded = texts_.LoadLines(lines);
  // The texts of a language come with the code page its users' files use.
  const QString codePage = texts_.Has(app_texts::kCodePage)
                               ? texts_.Get(app_texts::kCodePage).trimmed()
                               : QString::fromLatin1(kDefaultCodePage);
  try {
    storage_.SetLanguageCodePage(CodePage(codePage).Name());
  } catch (const StorageError&) {
    storage_.SetLanguageCodePage(QString::fromLatin1(kDefaultCodePage));
    loaded = false;
  }
  if (!loaded) services_.ShowMessage(QLatin1String(kLanguageLoadFailed), kOkOnly);
  LoadQtTranslation();
}

// Without Debian's translations of Qt, the standard dialogs stay English.
void LanguageMenu::LoadQtTranslation() {
  QCoreApplication::removeTranslator(&qtTexts_);
  if (!texts_.Has(app_texts::kQtLocale)) return;
  const QLocale locale(texts_.Get(app_texts::kQtLocale).trimmed());
  if (qtTexts_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(&qtTexts_);
}

void LanguageMenu::Choose(int index) {
  const QList<QAction*> items = commands_.Submenu("mnuLang")->actions();
  const bool alreadyChosen = index == current_;
  if (!alreadyChosen) current_ = index;
  for (int i = 0; i < items.size(); ++i) items[i]->setChecked(i == current_);
  if (alreadyChosen) return;
  QAction* chosen = items[index];
  const QString folder = files_.Below(QStringLiteral("Texts"));
  files_.WriteText(folder + QStringLiteral("/current.dat"),
                   chosen->data().toString() + QStringLiteral("\r\n"),
                   QStringLiteral("mnuLang2_Click"));
  std::optional<QStringList> lines =
      files_.ReadLines(folder + u'/' + chosen->data().toString(), QStringLiteral("txtLoad"));
  if (lines) LoadLanguage(*lines);
  ApplyTexts();
  services_.ShowMessage(texts_.Get(app_texts::kRestartForLanguage), kOkOnly);
}

}  // namespace orbo
