#pragma once
// A raised REXX error, as it travels from the place that detects it to the
// SYNTAX trap or the error report.
#include <string>

namespace tolma {

struct RexxError {
    int code = 0;       // number in the error table, 1..98
    std::string detail; // secondary text, empty when there is none
    int line = 0;       // 1-based source line, 0 when unknown
    int column = 0;     // 1-based column of the offending token, 0 when unknown

    // Raised by a clause of an INTERPRET string: the report shows that
    // clause's line of the string instead of a program line.
    bool interpreted = false;
    std::string source_line;
};

} // namespace tolma
