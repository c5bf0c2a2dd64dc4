// The values of the seventeen slots of one kind a form or a record has. They
// read as seventeen values but take memory only up to the last slot written,
// so that a form with few elements, or a record with few values, stays
// small. A slot never written reads as a value-initialised T.
#pragma once

#include <cstddef>
#include <vector>

namespace orbo {

template <typename T, std::size_t N>
class SlotList {
 public:
  static constexpr std::size_t size() { return N; }

  const T& operator[](std::size_t k) const {
    return k < held_.size() ? held_[k].value : Unwritten();
  }
  // Writing past the slots held takes them up to k, and may move the others:
  // a reference to one slot is not kept across a write of a later one.
  T& operator[](std::size_t k) {
    if (k >= held_.size()) held_.resize(k + 1);
    return held_[k].value;
  }

  // How many slots take memory.
  std::size_t Held() const { return held_.size(); }

  // Lets go of the slots at the end that read as never written ones do.
  void DropUnwritten() {
    while (!held_.empty() && held_.back().value == Unwritten()) held_.pop_back();
    held_.shrink_to_fit();
  }

  // Slots never written equal slots written with the value-initialised T.
  friend bool operator==(const SlotList& a, const SlotList& b) {
    for (std::size_t k = 0; k < N; ++k) {
      if (!(a[k] == b[k])) return false;
    }
    return true;
  }

 private:
  static const T& Unwritten() {
    static const T value{};
    return value;
  }

  // A value of its own, so that bools are no bit vector.
  struct Cell {
    T value{};
  };
  std::vector<Cell> held_;
};

}  // namespace orbo
