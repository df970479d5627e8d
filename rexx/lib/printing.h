#pragma once
// Printing for EXECIO PRINT: lines piped into the print spooler.
//
// The spooler is `lpr -J 'My Document'` (with `-P name` for a PRINTER), found
// along PATH. The environment variable TOLMA_PRINT_COMMAND, when set and not
// empty, replaces that whole command: it is run through /bin/sh -c with the
// text on its standard input, and a PRINTER name reaches it as the exported
// variable PRINTER (as lpr itself would read it).
#include <string>
#include <vector>

namespace tolma {

struct Interp;

struct PrintJob {
    std::string printer;          // "" for the default printer
    long long lines_per_page = 0; // a form feed after every that many lines; 0: none
    long long columns = 0;        // lines cut to that many columns; 0: kept whole
};

// The text sent to the spooler: every line ended by "\n", cut to the job's
// columns, with a form feed between pages.
std::string print_text(const std::vector<std::string>& lines, const PrintJob& job);

// The shell command that prints; "" when neither TOLMA_PRINT_COMMAND nor lpr
// is there.
std::string print_command(const PrintJob& job);

// Sends the lines to the spooler and returns EXECIO's return code: 0 when
// printed (nothing is started for no lines), 28 after a message when there is
// no spooler or it cannot be started, 100 + its exit status when it failed,
// 101 when it ended well without taking all the text.
int print_lines(Interp& in, const std::vector<std::string>& lines, const PrintJob& job);

} // namespace tolma
