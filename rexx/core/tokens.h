#pragma once
// Token kinds of the REXX front end.
//
// A one-character token is its own character code (";" 59, "(" 40, blank 32,
// ...). Every other kind is numbered from 258 on. The order matters: the
// parser and the dumps index tables by (kind - TOK_FIRST), and the operator
// kinds OP_XOR..OP_NOT form one contiguous run that the lexer tests as a range.

namespace tolma {

enum TokenKind : int {
    TOK_DELETED = -2, // a token that a later lexer step removed
    TOK_NONE = -1,    // NOLEX: nothing read yet / end of the token array
    TOK_FIRST = 258,
    SYMBOL = 258,
    STRING = 259,
    VIDE = 260,
    ADDRESS = 261,
    ARG = 262,
    BY = 263,
    CALL = 264,
    DIGITS = 265,
    DO = 266,
    DROP = 267,
    ELSE = 268,
    END = 269,
    ENGINEERING = 270,
    EXIT = 271,
    EXPOSE = 272,
    FOR = 273,
    FOREVER = 274,
    FORM = 275,
    FUZZ = 276,
    IF = 277,
    INTERPRET = 278,
    ITERATE = 279,
    LEAVE = 280,
    LINEIN = 281, // also EXTERNAL
    NOP = 282,
    NUMERIC = 283,
    OFF = 284,
    ON = 285,
    OTHERWISE = 286,
    PARSE = 287,
    PROCEDURE = 288,
    PULL = 289,
    PUSH = 290,
    QUEUE = 291,
    RETURN = 292,
    SAY = 293,
    SAYN = 294,
    SAYX = 295,
    SAYR = 296,
    SCIENTIFIC = 297,
    SELECT = 298,
    SIGNAL = 299,
    SOURCE = 300,
    THEN = 301,
    TO = 302,
    TRACE = 303,
    UNTIL = 304,
    UPPER = 305,
    VALUE = 306,
    VAR = 307,
    VERSION = 308,
    WHILE = 309,
    WITH = 310,
    WHEN = 311,
    ERROR = 312,
    FAILURE = 313,
    HALT = 314,
    NOVALUE = 315,
    SYNTAX = 316,
    TEMPLATE = 317,
    ENVIRON = 318,
    LOWER = 319,
    CD = 320,
    FUNCTION = 321,
    NAME = 322,
    NOTREADY = 323,
    SFUNCTION = 324,
    IN = 325,
    OPTION = 326,
    MIXED = 327,
    SETENV = 328,
    UNSETENV = 329,
    LOAD = 330,
    NOLOAD = 331,
    OP_XOR = 332,
    OP_IINF_EQ = 333,
    OP_INF_EQ = 334,
    OP_SSUP_EQ = 335,
    OP_SUP_EQ = 336,
    OP_IINF = 337,
    OP_SSUP = 338,
    OP_NNEQ = 339,
    OP_NEQ = 340,
    OP_EEQ = 341,
    OP_CONC = 342,
    OP_REMAIN = 343,
    OP_EXP = 344,
    OP_RHO = 345,
    OP_NEQIC = 346,
    OP_EQIC = 347,
    OP_NOT = 348,
    GLOBALV = 349,
    NOGLOBALV = 350,
    TOK_LAST = 350,
};

// The name a kind bears in dumps and messages: "SYMBOL", "OP_NOT", ...; for a
// character token the character itself ("(", ";"; the blank is "_").
const char* token_kind_name(int kind);

// True for the operator kinds OP_XOR..OP_NOT.
inline bool is_operator_kind(int kind) {
    return kind >= OP_XOR && kind <= OP_NOT;
}

} // namespace tolma
