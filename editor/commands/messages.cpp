// The numbered message table and the message line.
#include <algorithm>

#include "editor/commands/executor.h"
#include "editor/core/editor.h"

namespace voren {

namespace {

// Indexed by message number; "" marks a number with no text.
constexpr const char* kMessages[kMessageCount] = {
    "..... File error",                                                      // 0
    "..... Not an editable file",                                            // 1
    "..... File name too long",                                              // 2
    "..... Invalid field",                                                   // 3
    "..... Too many prefix commands",                                        // 4
    "..... Invalid F, P, O or OO position",                                  // 5
    "..... Invalid cursor position",                                         // 6
    "..... Command too long",                                                // 7
    "..... Invalid directory",                                               // 8
    "..... Is ON",                                                           // 9
    "..... Is OFF",                                                          // 10
    "..... Invalid key-word",                                                // 11
    "..... No userid available",                                             // 12
    "..... Directory not found",                                             // 13
    "..... Not a directory",                                                 // 14
    "..... Unable to change directory",                                      // 15
    "..... Invalid parameters",                                              // 16
    "..... 1 occurrence changed",                                            // 17
    "..... Not found",                                                       // 18
    "..... Screen would be too small",                                       // 19
    "..... Duplicate ID",                                                    // 20
    "..... Unable to save file",                                             // 21
    "..... File not found",                                                  // 22
    "..... Wrapped",                                                         // 23
    "..... Invalid command",                                                 // 24
    "..... No locate across lines",                                          // 25
    "..... Recursive macro call",                                            // 26
    "..... Unable to create new process",                                    // 27
    "..... Not for multiple lines selection",                                // 28
    "..... Internal error; file renamed to avoid data loss and trace saved", // 29
    "..... System checking",                                                 // 30
    "..... Is EUROPE",                                                       // 31
    "..... Invalid malloc() debug level",                                    // 32
    "..... Unable to create s_client",                                       // 33
    "..... Unable to acquire shelf",                                         // 34
    "..... Internal error; trying to save files with .check filetype",       // 35
    "",                                                                      // 36
    "..... Warning: meaningless command for an APL object",                  // 37
    "..... Unable to make button",                                           // 38
    "..... Invalid button",                                                  // 39
    "..... ./APLOBJ not available",                                          // 40
    "..... Not with a display object",                                       // 41
    "..... Display object",                                                  // 42
    "..... Shell done",                                                      // 43
    "..... Shell terminated by signal QUIT",                                 // 44
    "..... Invalid argument count",                                          // 45
    "..... Invalid file",                                                    // 46
    "..... Invalid menu file format",                                        // 47
    "..... Invalid keyboard type",                                           // 48
    "..... Invalid font",                                                    // 49
    "..... Warning: this object is already in the ring",                     // 50
    "..... Not under APL",                                                   // 51
    "..... is DISPLAY",                                                      // 52
    "..... is ALL",                                                          // 53
    "..... Invalid line number",                                             // 54
    "..... Line not in scope",                                               // 55
    "..... Already used position",                                           // 56
    "..... This is the current line position",                               // 57
    "..... No current selection",                                            // 58
    "..... Invalid color",                                                   // 59
    "..... Invalid field",                                                   // 60
    "..... Unable to acquire primary selection",                             // 61
    "..... Invalid time-out",                                                // 62
    "..... Unable to create a pipe to filter",                               // 63
    "..... Unable to fork",                                                  // 64
    "..... Warning: time-out while processing filter",                       // 65
    "..... Error while processing filter",                                   // 66
    "..... Invalid character",                                               // 67
    "..... Invalid colormap entries",                                        // 68
    "..... Invalid Regular Expression",                                      // 69
    "..... Invalid \\n character within a command",                          // 70
    "..... Is ON STAY",                                                      // 71
    "..... Is ON NOSTAY",                                                    // 72
    "..... Is OFF STAY",                                                     // 73
    "..... Is OFF NOSTAY",                                                   // 74
    "..... LOCATE NOSTAY",                                                   // 75
    "..... LOCATE STAY",                                                     // 76
    "..... Unable to create a socket",                                       // 77
    "..... Unable to bind socket",                                           // 78
    "..... Unable to listen on socket",                                      // 79
    "..... Unable to select on socket",                                      // 80
    "..... Unable to accept on socket",                                      // 81
    "..... Unable to read on socket",                                        // 82
    "..... Unable to write on socket",                                       // 83
    "..... Invalid external request",                                        // 84
    "..... Unable to create a pipe to rexx",                                 // 85
    "..... Unable to write to rexx",                                         // 86
    "..... Unable to read from rexx",                                        // 87
    "..... Invalid password for rexx",                                       // 88
    "..... Unable to gethostbyname()",                                       // 89
    "..... Too many strings",                                                // 90
    "..... Is ON LEFT",                                                      // 91
    "..... Is ON RIGHT",                                                     // 92
    "..... Is XEDIT",                                                        // 93
    "..... Is ISPF",                                                         // 94
    "",                                                                      // 95
    "",                                                                      // 96
    "..... ENTER STAY",                                                      // 97
    "..... ENTER NOSTAY",                                                    // 98
    "..... Unable to create a pipe while compiling",                         // 99
    "..... Unable to fcntl() a pipe while compiling",                        // 100
    "..... External process killed",                                         // 101
    "..... Error while compiling",                                           // 102
    "..... File voren_compile.rules not found",                              // 103
    "..... Unable to open file voren_compile.rules",                         // 104
    "..... Running",                                                         // 105
    "..... No error found",                                                  // 106
    "..... No valid line number",                                            // 107
    "..... Empty string",                                                    // 108
    "..... Can not open /tmp",                                               // 109
    "",                                                                      // 110
    "..... Unable to connect on socket",                                     // 111
    "",                                                                      // 112
    "",                                                                      // 113
    "..... Time out when reading external command",                          // 114
    "..... No help file available",                                          // 115
    "..... Not such help file",                                              // 116
    "..... No task help file available",                                     // 117
    "..... Read only file; use the \"RW ON\" command before",                // 118
    "..... C. saved",                                                        // 119
    "..... Invalid key numbers: must be within 15 24 15",                    // 120
    "..... Is ON TOP",                                                       // 121
    "..... Is ON BOT",                                                       // 122
    "..... Is OFF TOP",                                                      // 123
    "..... Is OFF BOT",                                                      // 124
    "..... Is GOTO",                                                         // 125
    "..... Is SCROLL",                                                       // 126
    "..... Is ALL",                                                          // 127
    "..... Is ONE",                                                          // 128
    "..... Searching for MAN pages",                                         // 129
    "..... Spelling",                                                        // 130
    "..... Spelling OK",                                                     // 131
    "",                                                                      // 132
    "",                                                                      // 133
    "",                                                                      // 134
    "",                                                                      // 135
    "..... No current file",                                                 // 136
    "",                                                                      // 137
    "",                                                                      // 138
    "..... No *.compile file found.",                                        // 139
    "..... Increase window size.",                                           // 140
    "..... Warning: reloaded file; previous file saved in backup format.",   // 141
    "..... String 2 contains more arbitrary characters than string 1.",      // 142
    "..... is 0.",                                                           // 143
    "..... is 1.",                                                           // 144
    "..... Invalid current line",                                            // 145
    "..... Invalid arbitrary string",                                        // 146
    "..... Is WRAP",                                                         // 147
    "..... Is CTRL",                                                         // 148
    "..... Is NCTRL",                                                        // 149
    "..... Invalid hexadecimal string",                                      // 150
    "..... Is STAY",                                                         // 151
    "..... Is NOSTAY",                                                       // 152
    "..... Unable to read file",                                             // 153
    "..... Unable to read device",                                           // 154
    "..... Bad device",                                                      // 155
    "..... Is MOTIF",                                                        // 156
    "..... Is OPENLOOK",                                                     // 157
    "..... CTLCHAR OFF",                                                     // 158
    "..... Missing Operand",                                                 // 159
    "..... Is SKIP",                                                         // 160
    "..... Is NOSKIP",                                                       // 161
    "..... Is XON",                                                          // 162
    "..... Invalid target",                                                  // 163
    "..... Not implemented",                                                 // 164
    "..... Target Not found",                                                // 165
    "..... Line Pointer Not found",                                          // 166
    "..... No memorised string for an empty locate request",                 // 167
    "..... The specified target is before the current line",                 // 168
    "..... Empty String",                                                    // 169
    "..... Is ZERO",                                                         // 170
    "..... No lines merged",                                                 // 171
    "..... Invalid column number",                                           // 172
    "..... TOLMA not active",                                                // 173
    "..... File has been changed; type QQUIT to quit anyway",                // 174
    "..... Is NOWRAP",                                                       // 175
    "..... File too big; use the LIMIT command",                             // 176
    "..... PDF COPY pending",                                                // 177
    "..... Invalid label",                                                   // 178
    "..... Invalid range",                                                   // 179
    "..... No previously memorised string",                                  // 180
    "..... The 2 picture strings must be the same length",                   // 181
    "..... File exists. Use the REPLACE command",                            // 182
    "..... PDF CREATE pending",                                              // 183
    "..... Use quotes for the search string",                                // 184
    "..... PDF REPLACE pending",                                             // 185
    "..... RFIND called before FIND",                                        // 186
    "..... RCHANGE called before CHANGE",                                    // 187
    "..... Invalid server",                                                  // 188
    "..... Set truncation column first",                                     // 189
    "..... Is FULLMOTIF",                                                    // 190
    "..... Is ON NOENV",                                                     // 191
    "..... Is ON ENV",                                                       // 192
    "..... Is OFF NOENV",                                                    // 193
    "..... Is OFF ENV",                                                      // 194
    "..... No rexx help file available",                                     // 195
    "..... Global Case Respect",                                             // 196
    "..... Global Case Ignore",                                              // 197
    "..... Is WINDOWS",                                                      // 198
    "..... The Clipboard is empty",                                          // 199
    "..... Unable to open Clipboard",                                        // 200
    "..... Is US",                                                           // 201
    "..... Is ON OLD",                                                       // 202
    "..... No STAMPDELAY active",                                            // 203
    "..... READ-ONLY control file",                                          // 204
    "..... SCHANGE not supported in batch mode.",                            // 205
    "..... Invalid line/column specification.",                              // 206
    "..... Is OPENLOOK WHEEL",                                               // 207
};

} // namespace

std::string_view message_text(int number) {
    if (number < 0 || number >= kMessageCount) return "....... Unknown error";
    return kMessages[number];
}

void show_message(Editor& ed, int number, MessageMode mode) {
    show_text(ed, message_text(number), mode);
}

void show_text(Editor& ed, std::string_view text, MessageMode mode) {
    ExecutorState& st = ed.cmd;
    st.last_message.assign(text);
    st.message_mode = static_cast<int>(mode);
    if (ed.batch_mode) {
        std::fputs("voren: ", st.trace_output);
        std::fwrite(text.data(), 1, text.size(), st.trace_output);
        std::fputc('\n', st.trace_output);
        return;
    }
    size_t width = static_cast<size_t>(std::max(st.message_width, 0));
    st.message_line.assign(text.substr(0, width));
    st.message_line.resize(width, ' ');
    if (mode == MessageMode::StayBeep) st.pending_beeps = 4;
}

} // namespace voren
