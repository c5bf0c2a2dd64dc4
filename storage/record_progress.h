// Progress of a long run over records: the share done is shown at every
// record index that is a multiple of 100, and the value 200 ends it.
#pragma once

#include <functional>

namespace orbo {

inline constexpr int kProgressEnd = 200;

class RecordProgress {
 public:
  using ShowFn = std::function<void(int value)>;

  RecordProgress() = default;
  // firstIndex: the table index of the first record of the run.
  explicit RecordProgress(ShowFn show, int firstIndex = 0)
      : show_(std::move(show)), firstIndex_(firstIndex) {}

  // count: the number of records in the run.
  void SetRunLength(int count) { total_ = firstIndex_ + count; }

  void AtRecord(int j) const {
    const int i = firstIndex_ + j;
    if (show_ && i % 100 == 0 && total_ > 0) show_(last_ = i * 100 / total_);
  }

  // Shows the share done again, so the display stays alive while something
  // without records takes time (a key being derived).
  void Pulse() const {
    if (show_) show_(last_);
  }

  void End() const {
    if (show_) show_(kProgressEnd);
  }

 private:
  ShowFn show_;
  int firstIndex_ = 0;
  int total_ = 0;
  mutable int last_ = 0;
};

}  // namespace orbo
