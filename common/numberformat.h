#pragma once
// Locale-independent number formatting. The programs' files must use "." as
// decimal point whatever the user's locale, so printf is not used.

#include <string>

namespace common {

// Like printf("%.Nf", value) in the C locale.
std::string formatFixed(double value, int decimals);
// The shortest decimal text that reads back to the same 32-bit float.
std::string formatShortest(float value);
// The shortest decimal text that reads back to the same double.
std::string formatShortest(double value);

} // namespace common
