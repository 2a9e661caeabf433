#pragma once
// The build date label, from a date text in the compiler's form ("Feb  6 2018").
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

// "Build. YYYY-MM-DD" from a date in the compiler's form.
std::string BuildDateLabel(std::string_view compilerDate);

// The day of the last build in the compiler's form ("Dec 11 2026"), from a
// source that every build regenerates: __DATE__ of one of our own files goes
// stale whenever a build does not recompile that file.
const char* BuildStampDate();

}  // namespace ui
