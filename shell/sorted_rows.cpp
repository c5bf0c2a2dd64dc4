#include "shell/sorted_rows.h"

namespace orbo {

std::vector<RowRun> AbsentRuns(const std::vector<int>& from, const std::vector<int>& in) {
  std::vector<RowRun> runs;
  std::size_t j = 0;
  for (std::size_t i = 0; i < from.size(); ++i) {
    while (j < in.size() && in[j] < from[i]) ++j;
    if (j < in.size() && in[j] == from[i]) continue;
    const int at = static_cast<int>(i);
    if (!runs.empty() && runs.back().last == at - 1) {
      runs.back().last = at;
    } else {
      runs.push_back({at, at});
    }
  }
  return runs;
}

}  // namespace orbo
