#include "shell/integrity_texts.h"

#include "shell/shell_texts.h"
#include "storage/record_title.h"

namespace orbo {
namespace {

constexpr int kProblemTexts = 964;

std::size_t At(int i) { return static_cast<std::size_t>(i); }

// A record by its title; one without a title by its number.
QString RecordName(const Database& db, int record) {
  const QString title = RecordTitle(db, record);
  return title.isEmpty() ? QStringLiteral("#%1").arg(record) : title;
}

QString FolderName(const Database& db, int folder) {
  return folder >= 0 && folder < db.FolderCount ? db.Folders[At(folder)].Name
                                                : QString::number(folder);
}

QString FormName(const Database& db, int form) {
  return form >= 0 && form < db.FormCount ? db.Forms[At(form)].Name : QString::number(form);
}

QString ElementName(const Database& db, int form, int type, int slot) {
  if (form < 0 || form >= db.FormCount || type < 0 || type >= kElementTypeCount || slot < 0 ||
      slot >= kSlotCount) {
    return {};
  }
  return db.Forms[At(form)].Elements[At(type)][At(slot)].Name;
}

}  // namespace

QString UserProblemText(const Database& db, const ModelProblem& p, const LanguageTexts& texts) {
  const QString text = texts.Get(kProblemTexts, p.kind);
  const QString value = QString::number(p.value);
  // One arg call: a name holding "%1" must not swallow the value.
  switch (p.kind) {
    case ModelProblem::kRecordForm:
    case ModelProblem::kRecordFolder:
      return text.arg(RecordName(db, p.index), value);
    case ModelProblem::kFolderParent:
    case ModelProblem::kFolderLoop:
      return text.arg(FolderName(db, p.index), value);
    case ModelProblem::kElementCount:
    case ModelProblem::kTitleElement:
      return text.arg(FormName(db, p.index), value);
    case ModelProblem::kCount:
    case ModelProblem::kBufferCount:
      return text.arg(QString(), value);
    default:
      // The window's own state is never a reason to refuse a save.
      return DescribeProblem(p);
  }
}

QString UserPlaceText(const Database& db, const TextPlace& place, const LanguageTexts& texts) {
  switch (place.kind) {
    case TextPlace::kRecordValue: {
      const int form = db.Records[At(place.index)].Form;
      return texts.Get(shell_texts::kRecordFieldPlace)
          .arg(RecordName(db, place.index), ElementName(db, form, place.type, place.slot));
    }
    case TextPlace::kFolder:
      return texts.Get(shell_texts::kFolderPlace).arg(FolderName(db, place.index));
    case TextPlace::kForm:
      return texts.Get(shell_texts::kFormPlace).arg(FormName(db, place.index));
    case TextPlace::kElement:
      return texts.Get(shell_texts::kFormElementPlace)
          .arg(FormName(db, place.index), ElementName(db, place.index, place.type, place.slot));
    case TextPlace::kDatabaseFont:
      return texts.Get(shell_texts::kDatabaseFontPlace);
  }
  return {};
}

}  // namespace orbo
