#pragma once
// EXECIO: moves lines between files and the data queue, a stem or a
// variable, in the manner of CMS:
//
//   EXECIO count mode [fn [ft [fm [line]]]] [( options [)]]
//
// count is a whole number or "*"; mode DISKR, DISKW, DISKI, DISKD or PRINT.
// The grammar, the options and the return codes are described in
// docs/execio.md. Files are opened through the stream table, so EXECIO and
// the stream functions share positions on a file.
#include <string_view>

namespace tolma {

struct Interp;

// Runs one EXECIO command (the operands after the word EXECIO) and returns
// its return code; messages go to the error sink.
int execio(Interp& in, std::string_view operands);

// The commands the interpreter answers itself under any ADDRESS: EXECIO
// (the string begins "execio " in any case) and the buffer commands MAKEBUF,
// DROPBUF, DESBUF and SENTRIES. False when command is none of them.
bool intercepted_command(Interp& in, std::string_view command, int& rc);

} // namespace tolma
