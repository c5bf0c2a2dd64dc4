// The manual: one page per topic, in a folder per interface language, with
// the contents in a fixed order and a search over the pages' words.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace orbo::help_topics {
// What a window or dialog asks help for; each opens its own page.
inline constexpr int kContents = 0;
inline constexpr int kStart = 10;
inline constexpr int kMainWindow = 11;
inline constexpr int kDesign = 13;
inline constexpr int kPrint = 16;
inline constexpr int kFind = 17;
inline constexpr int kSort = 18;
inline constexpr int kExchange = 19;
inline constexpr int kPassword = 20;
inline constexpr int kOptions = 21;
// A task page no window asks for by itself.
inline constexpr int kNone = -1;
}  // namespace orbo::help_topics

namespace orbo {

// A page of the manual and the topic it answers.
struct HelpPage {
  int topic;
  const char* file;
};

// Every page, in the order of the contents.
const std::vector<HelpPage>& HelpPages();

// The file of topic's page; the contents for a topic without one.
QString HelpPageFile(int topic);

// The folder of the manual in the interface language (its locale, "ru"),
// under root; the English one when that language has none.
QString HelpFolder(const QString& root, const QString& locale);

// A page's title, from its <title>, and its words without the markup.
QString HelpPageTitle(const QString& html);
QString HelpPageWords(const QString& html);

// Whether words (the search box's text) are all in a page's words, in any
// letter case; an empty search finds every page.
bool HelpPageHolds(const QString& pageWords, const QString& search);

}  // namespace orbo
