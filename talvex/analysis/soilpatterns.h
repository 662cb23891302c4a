#pragma once
// The catalogue of column-chart patterns offered for a survey-log layer: 88
// entries, the built-in codes 0...82 ("00 没有选择" means no pattern) and the
// five user patterns with codes 241...245. Entry i stands for code i up to
// 82 and for code i + 158 from 83 on.

#include <QString>
#include <QStringList>
#include <cstdint>

namespace talvex {

inline constexpr int kPatternEntryCount = 88;
inline constexpr int kLastBuiltInPattern = 82;
inline constexpr int kFirstUserPattern = 241;
inline constexpr int kLastUserPattern = 245;
inline constexpr int kUserPatternOffset = 158; // code - entry index of the user patterns

// The texts of the drop-down list, in order ("00 没有选择" ... "245 自定义图例五").
const QStringList &patternEntries();

// Code of list entry `index` (0...87): the index, plus 158 from 83 on.
// 0 for an index outside the list.
std::uint8_t patternCodeForEntry(int index);

// List entry that shows a stored code: the code for codes up to 240, code
// - 158 above. A code that no entry stands for (83...240, 246...255) selects
// entry 0, no pattern, instead of an entry outside the list.
int patternEntryForCode(std::uint8_t code);

} // namespace talvex
