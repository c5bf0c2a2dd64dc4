// The form designer's changes to the model and its arithmetic, without
// widgets: adding and deleting elements (records follow the element table),
// adding, cloning and deleting forms, grid snapping, the handles and the
// resize rules.
#pragma once

#include <QRect>

#include "forms/canvas/canvas_geometry.h"
#include "storage/database_model.h"
#include "storage/model_defaults.h"
#include "storage/model_delta.h"

namespace orbo {

inline constexpr int kMaxForms = 1000;
// No element gets narrower or lower than this through the handles.
inline constexpr int kSmallestSide = 150;
// A combo's width from its left edge.
inline constexpr int kSmallestComboWidth = 450;
// What a file holds of a position or a size: 16-bit signed twips.
inline constexpr int kLargestTwips = 32767;
inline constexpr int kSmallestTwips = -32768;

// A position in twips as a file holds it: out-of-range values go to the
// nearest end instead of wrapping.
std::int16_t StoredTwips(int twips);
// A size in twips as a file holds it: 1 to 32767.
std::int16_t StoredSide(int twips);

// The nearest multiple of step (halves up) when the grid is on.
int Snap(int value, bool gridOn, int step);

// Adds an element of type at (x, y) to form: the new last slot of the type
// with the new-element defaults. -1 when the form has 16 already. A title
// that would name nothing afterwards becomes ReplacementTitle.
int AddElementInModel(Database& db, int form, int type, int x, int y, const FontSpec& defaultFont,
                      const NewNames& names = NewNames());

// Deletes element (type, slot) of form: the type's last element takes its
// slot, in the form and in the values of every record of the form, in one
// step. The title follows the element that moved; when the deleted element
// was the title, it becomes ReplacementTitle (text element 0 where there is one).
void DeleteElementInModel(Database& db, int form, int type, int slot);
// What adding or deleting an element of form changes: the form and the
// values of its records.
ChangeScope ScopeOfElementChange(const Database& db, int form);

// Whether any live record uses form.
bool FormInUse(const Database& db, int form);

// Adds a form with the new-form defaults as the last one; false at 1000.
bool AddFormInModel(Database& db, const FontSpec& defaultFont, const NewNames& names = NewNames());
// Copies form source into a new last form named "<name> (copy)"; false at 1000.
bool CloneFormInModel(Database& db, int source);
// Removes an unused form: later forms and the records' form indices move
// down by one. False (and no change) when records use it.
bool DeleteFormInModel(Database& db, int form);
// What DeleteFormInModel(db, form) changes: the later forms move down, and
// so do the form numbers of their records and of the free slots.
ChangeScope ScopeOfFormDeletion(const Database& db, int form);

// The eight handles around a box, in the order of the designer's handles.
QRect HandleRect(int handle, const QRect& box);

// The edges a handle drags.
struct HandleEdges {
  bool horizontal = false;
  bool vertical = false;
  bool right = false;   // else the left edge
  bool bottom = false;  // else the top edge
};
HandleEdges EdgesOfHandle(int handle);

// A box being resized from start by (dx, dy) twips with the edges of a
// handle. Right and bottom edges keep the old size when the new one would
// be 150 or less; left and top edges clamp to 150 (450 for a combo's
// width); a combo's height never changes. No side grows beyond 32767 and
// no edge goes beyond what a file holds.
QRect ResizedBox(const QRect& start, int dx, int dy, const HandleEdges& edges, bool combo,
                 bool gridOn, int gridX, int gridY);

// A moved element's left and top: snapped, never further off the canvas
// than its own size, and within what a file holds.
QPoint MovedPosition(int left, int top, const QSize& element, const QSize& canvas, bool gridOn,
                     int gridX, int gridY);

}  // namespace orbo
