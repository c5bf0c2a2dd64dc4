#include "forms/designer/designer_logic.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

#include "storage/element_values.h"
#include "storage/field_table.h"
#include "storage/model_defaults.h"
#include "storage/model_invariants.h"

namespace orbo {
namespace {

std::size_t At(int i) { return static_cast<std::size_t>(i); }

// A record's value of slot from goes to slot to; slot cleared empties it.
void MoveValue(RecordData& record, int type, int from, int to, int cleared) {
  VisitRecordValues(record, type, [&](auto& values) {
    if (from != to) values[At(to)] = values[At(from)];
    values[At(cleared)] = {};
  });
}

void ForRecordsOf(Database& db, int form, const std::function<void(RecordData&)>& change) {
  for (int r = 0; r < db.RecordCount; ++r) {
    RecordData& record = db.Records[At(r)];
    if (record.Form == form) change(record);
  }
}

// A side dragged from its left or top edge: at least smallest, snapped, and
// no longer than a file holds. A coarse grid never snaps it below smallest.
int SnappedSide(int side, int smallest, bool gridOn, int step) {
  const int snapped = Snap(std::clamp(side, smallest, kLargestTwips), gridOn, step);
  return std::clamp(snapped, smallest, kLargestTwips);
}

}  // namespace

std::int16_t StoredTwips(int twips) {
  return static_cast<std::int16_t>(std::clamp(twips, kSmallestTwips, kLargestTwips));
}

std::int16_t StoredSide(int twips) {
  return static_cast<std::int16_t>(std::clamp(twips, 1, kLargestTwips));
}

int Snap(int value, bool gridOn, int step) {
  if (!gridOn || step <= 0) return value;
  return static_cast<int>(std::floor((value + step / 2.0) / step)) * step;
}

int AddElementInModel(Database& db, int form, int type, int x, int y, const FontSpec& defaultFont,
                      const NewNames& names) {
  FormDef& def = db.Forms[At(form)];
  const int slot = def.ElementCount[At(type)];
  if (slot >= kMaxElementsPerType) return -1;
  def.ElementCount[At(type)] = static_cast<std::int16_t>(slot + 1);
  ApplyNewElementDefaults(def, type, slot, defaultFont, names);
  def.Elements[At(type)][At(slot)].Left = StoredTwips(x);
  def.Elements[At(type)][At(slot)].Top = StoredTwips(y);
  // The records start the new element empty, whatever an earlier element
  // of that slot left there.
  ForRecordsOf(db, form, [&](RecordData& record) { MoveValue(record, type, slot, slot, slot); });
  // A form of labels only kept the default title, which names nothing once
  // an element with a value is there.
  if (!IsValidTitleElement(def, def.TitleElement)) def.TitleElement = ReplacementTitle(def);
  return slot;
}

void DeleteElementInModel(Database& db, int form, int type, int slot) {
  FormDef& def = db.Forms[At(form)];
  const int last = def.ElementCount[At(type)] - 1;
  if (slot < 0 || slot > last) return;
  if (slot != last) CopyElementSlot(def, type, last, slot);
  ForRecordsOf(db, form, [&](RecordData& record) { MoveValue(record, type, last, slot, last); });
  def.ElementCount[At(type)] = static_cast<std::int16_t>(last);
  if (def.TitleElement == ElementRef{type, slot}) {
    def.TitleElement = ReplacementTitle(def);
  } else if (def.TitleElement == ElementRef{type, last}) {
    def.TitleElement = {type, slot};
  }
}

ChangeScope ScopeOfElementChange(const Database& db, int form) {
  return {IndexScope::Of(RecordsOfForm(db, form)), {}, IndexScope::Of({form})};
}

bool FormInUse(const Database& db, int form) {
  for (int r = 0; r < db.RecordCount; ++r) {
    const RecordData& record = db.Records[At(r)];
    if (record.Form == form && record.Folder != BufferFolder) return true;
  }
  return false;
}

bool AddFormInModel(Database& db, const FontSpec& defaultFont, const NewNames& names) {
  if (db.FormCount >= kMaxForms) return false;
  const int form = db.FormCount;
  SetCount(db, kFormsKind, static_cast<std::int16_t>(form + 1));
  ApplyNewFormDefaults(db.Forms[At(form)], form, defaultFont, names);
  return true;
}

bool CloneFormInModel(Database& db, int source) {
  if (source < 0 || source >= db.FormCount || !AddFormInModel(db, {})) return false;
  FormDef& copy = db.Forms[At(db.FormCount - 1)];
  copy = db.Forms[At(source)];
  copy.Name += QStringLiteral(" (copy)");
  return true;
}

bool DeleteFormInModel(Database& db, int form) {
  if (form < 0 || form >= db.FormCount || db.FormCount == 1 || FormInUse(db, form)) return false;
  std::move(db.Forms.begin() + form + 1, db.Forms.begin() + db.FormCount, db.Forms.begin() + form);
  // Free slots name a form too; one of the deleted form takes the first.
  for (int r = 0; r < db.RecordCount; ++r) {
    std::int16_t& f = db.Records[At(r)].Form;
    if (f > form) {
      --f;
    } else if (f == form) {
      f = 0;
    }
  }
  SetCount(db, kFormsKind, static_cast<std::int16_t>(db.FormCount - 1));
  return true;
}

ChangeScope ScopeOfFormDeletion(const Database& db, int form) {
  std::vector<int> forms;
  for (int f = form; f < db.FormCount; ++f) forms.push_back(f);
  std::vector<int> records;
  for (int r = 0; r < db.RecordCount; ++r) {
    if (db.Records[At(r)].Form >= form) records.push_back(r);
  }
  return {IndexScope::Of(std::move(records)), {}, IndexScope::Of(std::move(forms))};
}

QRect HandleRect(int handle, const QRect& box) {
  const int l = box.left();
  const int t = box.top();
  const int w = box.width();
  const int h = box.height();
  const int half = kHandleSide / 2;
  const std::array<QPoint, 8> corners = {QPoint(l + w, t + h),
                                         QPoint(l + w, t + h / 2 - half),
                                         QPoint(l + w / 2 - half, t + h),
                                         QPoint(l - kHandleSide, t + h / 2 - half),
                                         QPoint(l + w / 2 - half, t - kHandleSide),
                                         QPoint(l - kHandleSide, t - kHandleSide),
                                         QPoint(l - kHandleSide, t + h),
                                         QPoint(l + w, t - kHandleSide)};
  return {corners[At(handle)], QSize(kHandleSide, kHandleSide)};
}

HandleEdges EdgesOfHandle(int handle) {
  switch (handle) {
    case 0:
      return {true, true, true, true};
    case 1:
      return {true, false, true, false};
    case 2:
      return {false, true, false, true};
    case 3:
      return {true, false, false, false};
    case 4:
      return {false, true, false, false};
    case 5:
      return {true, true, false, false};
    case 6:
      return {true, true, false, true};
    default:
      return {true, true, true, false};
  }
}

QRect ResizedBox(const QRect& start, int dx, int dy, const HandleEdges& edges, bool combo,
                 bool gridOn, int gridX, int gridY) {
  QRect box = start;
  // The far edge stays; the near one goes no further than a file holds.
  const auto nearEdge = [](int farEdge, int side, bool on, int step) {
    return std::clamp(Snap(farEdge - side, on, step), kSmallestTwips, kLargestTwips);
  };
  if (edges.horizontal) {
    if (edges.right) {
      const int width = std::min(Snap(start.width() + dx, gridOn, gridX), kLargestTwips);
      if (width > kSmallestSide) box.setWidth(width);
    } else {
      const int width = SnappedSide(start.width() - dx, combo ? kSmallestComboWidth : kSmallestSide,
                                    gridOn, gridX);
      box.setRect(nearEdge(start.left() + start.width(), width, gridOn, gridX), box.top(), width,
                  box.height());
    }
  }
  if (edges.vertical && !combo) {
    if (edges.bottom) {
      const int height = std::min(Snap(start.height() + dy, gridOn, gridY), kLargestTwips);
      if (height > kSmallestSide) box.setHeight(height);
    } else {
      const int height = SnappedSide(start.height() - dy, kSmallestSide, gridOn, gridY);
      box.setRect(box.left(), nearEdge(start.top() + start.height(), height, gridOn, gridY),
                  box.width(), height);
    }
  }
  return box;
}

QPoint MovedPosition(int left, int top, const QSize& element, const QSize& canvas, bool gridOn,
                     int gridX, int gridY) {
  const auto place = [](int value, int side, int canvasSide) {
    const int lowest = -side;
    return static_cast<int>(StoredTwips(std::clamp(value, lowest, std::max(canvasSide, lowest))));
  };
  return {place(Snap(left, gridOn, gridX), element.width(), canvas.width()),
          place(Snap(top, gridOn, gridY), element.height(), canvas.height())};
}

}  // namespace orbo
