#pragma once
// The build date label, from the compiler's date text ("Feb  6 2018").
#include <string>
#include <string_view>

namespace ui {

struct BuildDate {
    int year = 0;
    int month = 0;  // 1 to 12, 0 when the month name is none of "Jan".."Dec"
    int day = 0;
};

// Month from the first three characters (exact, case-sensitive), day from the
// two characters after the month and its space, year from the last four; each
// number read as atoi reads (leading blanks, then digits). Characters that
// the text lacks count as absent, never read.
BuildDate ParseBuildDate(std::string_view compilerDate);

// "Build. YYYY-MM-DD"; callers pass __DATE__ of a file compiled with the exe.
std::string BuildDateLabel(std::string_view compilerDate);

}  // namespace ui
