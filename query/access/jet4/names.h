// Table and column names Jet accepts: at most 64 characters, none of
// . ! ` [ ], no control characters, no leading blank, never empty, and
// distinct regardless of letter case. Acceptable names stay as they are.
#pragma once

#include <QString>
#include <vector>

namespace orbo::jet4 {

inline constexpr int kMaxNameLength = 64;

// Table names also become keys of the catalog index, so characters without
// a key code become "_"; they must not clash with the system tables either.
std::vector<QString> AcceptableTableNames(const std::vector<QString>& requested);

std::vector<QString> AcceptableColumnNames(const std::vector<QString>& requested);

}  // namespace orbo::jet4
