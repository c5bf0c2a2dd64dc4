// How a list of ascending indices that a model shows becomes another: the
// runs of neighbouring rows to remove and to insert, so that views are told
// the finest change.
#pragma once

#include <vector>

namespace orbo {

struct RowRun {
  int first;
  int last;
};

// The runs of neighbouring positions of from (ascending) whose values are
// not in in (ascending).
std::vector<RowRun> AbsentRuns(const std::vector<int>& from, const std::vector<int>& in);

// Removes from shown (ascending) what wanted (ascending) lacks, the last run
// first, so the rows of the runs still to go stay put. Rows are positions
// plus offset; begin(a, b) comes before rows a..b are erased, end(a, b)
// after.
template <typename Begin, typename End>
void RemoveRowsNotIn(std::vector<int>& shown, const std::vector<int>& wanted, int offset,
                     Begin begin, End end) {
  const std::vector<RowRun> gone = AbsentRuns(shown, wanted);
  for (auto run = gone.rbegin(); run != gone.rend(); ++run) {
    begin(offset + run->first, offset + run->last);
    shown.erase(shown.begin() + run->first, shown.begin() + run->last + 1);
    end(offset + run->first, offset + run->last);
  }
}

// Inserts into shown what wanted holds beyond it (shown must be part of
// wanted), the first run first: each goes in at its own position, the runs
// before it already in. begin and end as for RemoveRowsNotIn.
template <typename Begin, typename End>
void InsertRowsOf(std::vector<int>& shown, const std::vector<int>& wanted, int offset, Begin begin,
                  End end) {
  for (const RowRun& run : AbsentRuns(wanted, shown)) {
    begin(offset + run.first, offset + run.last);
    shown.insert(shown.begin() + run.first, wanted.begin() + run.first,
                 wanted.begin() + run.last + 1);
    end(offset + run.first, offset + run.last);
  }
}

}  // namespace orbo
