// Undo deltas on the model alone: a delta gives back exactly the model it
// was taken from and goes on to the one after it, merged or not; a record
// typed into keeps what was typed, not the text; and the password is kept
// only by the change that changed it, and nowhere once that change goes.
#include <QRandomGenerator>
#include <QtTest>
#include <functional>
#include <optional>
#include <vector>

#include "../process_memory.h"
#include "sample_databases.h"
#include "storage/model_delta.h"
#include "storage/navigation_logic.h"
#include "storage/secret_text.h"

using namespace orbo;
using namespace orbo::test;

namespace {

// The delta of change, or none when it changed nothing.
std::optional<ModelDelta> Made(Database& db, const ChangeScope& scope,
                               const std::function<void()>& change) {
  ModelDelta delta(db, scope);
  change();
  if (!delta.Finish(db)) return std::nullopt;
  return delta;
}

const ChangeScope kAllRecords{IndexScope::All(), {}, {}};

// One change of the kinds commands make to records, on a few records and
// slots so that changes meet: a text spliced, a choice, a flag, a folder, a
// mark, a record added or removed at the end.
void ChangeRecords(Database& db, QRandomGenerator& random) {
  const int r = random.bounded(std::max<int>(db.RecordCount, 1));
  RecordData& record = db.Records[static_cast<std::size_t>(r)];
  const int slot = random.bounded(2);
  switch (random.bounded(9)) {
    case 0:
      if (db.RecordCount < 8) {
        SetCount(db, kRecordsKind, static_cast<std::int16_t>(db.RecordCount + 1));
        NewRecord(db, db.RecordCount - 1);
        db.Records[static_cast<std::size_t>(db.RecordCount - 1)].TextValue[0] = "new";
      }
      break;
    case 1:
      if (db.RecordCount > 1)
        SetCount(db, kRecordsKind, static_cast<std::int16_t>(db.RecordCount - 1));
      break;
    case 2:
      record.ComboValue[slot] = static_cast<std::int16_t>(random.bounded(-1, 16));
      break;
    case 3:
      record.FlagValue[slot] = !record.FlagValue[slot];
      break;
    case 4:
      record.Folder = static_cast<std::int16_t>(random.bounded(3));
      break;
    case 5:
      db.RecordMarks[static_cast<std::size_t>(r)] = !db.RecordMarks[static_cast<std::size_t>(r)];
      break;
    default: {
      // Letters of a small alphabet, so that what is typed often matches
      // what is around it.
      QString& text = random.bounded(2) ? record.TextValue[slot] : record.MemoValue[slot];
      const auto at = static_cast<qsizetype>(random.bounded(static_cast<int>(text.size()) + 1));
      const auto removed = std::min<qsizetype>(random.bounded(4), text.size() - at);
      QString typed;
      for (int k = random.bounded(4); k > 0; --k) typed += QChar(u"ab "[random.bounded(3)]);
      text.replace(at, removed, typed);
    }
  }
}

std::size_t BytesOfTypingWords(int words) {
  Database db = FullFormDatabase();
  std::size_t bytes = 0;
  for (int w = 0; w < words; ++w) {
    bytes += Made(db, ChangeScope::Records({0}), [&] {
               db.Records[0].MemoValue[0] += QStringLiteral(" word%1").arg(w);
             })->Bytes();
  }
  return bytes;
}

}  // namespace

class ModelDeltaTest : public QObject {
  Q_OBJECT

 private slots:
  // Random changes, each a delta, some folded into the one before: taking
  // them all back gives each model between them again, and so does doing
  // them again.
  void deltasGiveBackEveryModelMergedOrNot() {
    for (quint32 seed = 1; seed <= 40; ++seed) {
      QRandomGenerator random(seed);
      Database db = FullFormDatabase();
      std::vector<ModelDelta> steps;
      std::vector<Database> models{db};
      for (int c = 0; c < 60; ++c) {
        std::optional<ModelDelta> delta = Made(db, kAllRecords, [&] { ChangeRecords(db, random); });
        if (!delta) continue;
        if (!steps.empty() && random.bounded(3) > 0) {
          steps.back().Absorb(*delta, db);
          models.back() = db;
        } else {
          steps.push_back(std::move(*delta));
          models.push_back(db);
        }
      }
      for (std::size_t s = steps.size(); s-- > 0;) {
        steps[s].Undo(db);
        QVERIFY2(ModelDifference(db, models[s]).isEmpty(),
                 qPrintable(QStringLiteral("seed %1, undo to %2: %3")
                                .arg(seed)
                                .arg(s)
                                .arg(ModelDifference(db, models[s]))));
      }
      for (std::size_t s = 0; s < steps.size(); ++s) {
        steps[s].Redo(db);
        QVERIFY2(ModelDifference(db, models[s + 1]).isEmpty(),
                 qPrintable(QStringLiteral("seed %1, redo to %2").arg(seed).arg(s + 1)));
      }
    }
  }

  // A word typed into a long text keeps the word: what the steps of a text
  // typed word by word hold grows with the words, not with their square.
  void typingWordByWordKeepsTheWords() {
    const std::size_t thousand = BytesOfTypingWords(1000);
    const std::size_t twoThousand = BytesOfTypingWords(2000);
    QVERIFY2(twoThousand < thousand * 22 / 10,
             qPrintable(QStringLiteral("1000 words: %1 bytes, 2000 words: %2 bytes")
                            .arg(thousand)
                            .arg(twoThousand)));
  }

  // Key presses folded into one step keep what they typed between them,
  // at the end of a text and in its middle.
  void mergedKeyPressesKeepWhatTheyTyped() {
    Database db = FullFormDatabase();
    QString& memo = db.Records[0].MemoValue[0];
    memo = QString(20000, QLatin1Char('x'));
    for (qsizetype at : {qsizetype{20000}, qsizetype{7000}}) {
      std::optional<ModelDelta> word;
      for (QChar key : QStringLiteral("hello")) {
        std::optional<ModelDelta> press =
            Made(db, ChangeScope::Records({0}), [&] { memo.insert(at++, key); });
        if (word) {
          word->Absorb(*press, db);
        } else {
          word = std::move(press);
        }
      }
      QVERIFY2(word->Bytes() < 2000, qPrintable(QString::number(word->Bytes())));
      const Database typed = db;
      word->Undo(db);
      word->Redo(db);
      QCOMPARE(ModelDifference(db, typed), QString());
    }
    QCOMPARE(memo.size(), 20010);
  }

  // Switching the protection on, changing the password and switching it
  // off are taken back and done again with the password of each model.
  void protectionStepsGiveThePasswordBack() {
    Database db = TinyDatabase();
    std::vector<ModelDelta> steps;
    std::vector<Database> models{db};
    const auto step = [&](const ChangeScope& scope, const std::function<void()>& change) {
      std::optional<ModelDelta> delta = Made(db, scope, change);
      QVERIFY(delta);
      steps.push_back(std::move(*delta));
      models.push_back(db);
    };
    step(ChangeScope::Protection(), [&] {
      db.PasswordOn = true;
      db.Password = "first";
    });
    step(ChangeScope::Records({0}), [&] { db.Records[0].TextValue[0] += "typed"; });
    // The password alone is a change.
    step(ChangeScope::Protection(), [&] { db.Password = "second"; });
    step(ChangeScope::Protection(), [&] { db.Encrypted = true; });
    step(ChangeScope::Protection(), [&] {
      db.PasswordOn = false;
      db.Encrypted = false;
    });
    for (int round = 0; round < 2; ++round) {
      for (std::size_t s = steps.size(); s-- > 0;) {
        steps[s].Undo(db);
        QCOMPARE(ModelDifference(db, models[s]), QString());
      }
      for (std::size_t s = 0; s < steps.size(); ++s) {
        steps[s].Redo(db);
        QCOMPARE(ModelDifference(db, models[s + 1]), QString());
      }
    }
  }

  // Steps that did not change the password hold no copy of it: once the
  // model's own is wiped, it is nowhere in memory. The step that changed it
  // holds it until it goes.
  void onlyTheStepThatChangedThePasswordHoldsIt() {
    Database db = FullFormDatabase();
    db.PasswordOn = true;
    db.Password = RandomPassword();
    const QByteArray secret = Utf16Bytes(db.Password);
    {
      std::vector<std::optional<ModelDelta>> steps;
      steps.push_back(
          Made(db, ChangeScope::Records({0}), [&] { db.Records[0].TextValue[0] += "x"; }));
      steps.push_back(Made(db, ChangeScope::Protection(), [&] { db.Encrypted = true; }));
      steps.push_back(Made(db, ChangeScope::Everything(), [&] { db.Folders[0].Name += "y"; }));
      steps.push_back(Made(db, ChangeScope::Protection(), [&] { db.PasswordOn = false; }));
      WipePassword(db);
      QVERIFY(!MemoryHoldsCopyOf(secret));
    }
    db.Password = QString(reinterpret_cast<const QChar*>(secret.constData()), secret.size() / 2);
    std::optional<ModelDelta> changed = Made(db, ChangeScope::Protection(), [&] {
      WipePassword(db);
      db.Password = RandomPassword();
    });
    QVERIFY(changed);
    WipePassword(db);
    QVERIFY(MemoryHoldsCopyOf(secret));
    changed.reset();
    QVERIFY(!MemoryHoldsCopyOf(secret));
  }
};

QTEST_GUILESS_MAIN(ModelDeltaTest)
#include "tst_model_delta.moc"
