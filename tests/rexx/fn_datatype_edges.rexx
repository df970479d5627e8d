/* DATATYPE with and without a type, at its limits; the results agree with Regina REXX */
say datatype(' 12 ') datatype('-1.5e-3') datatype('+.5') datatype('.') datatype('1 2') datatype('- 1') datatype('1E+') datatype('0x10')
/* each type letter, upper and lower case, full words */
say datatype('', 'A') datatype('Ab1', 'a') datatype('a_b', 'A') datatype('', 'L') datatype('abc', 'lower') datatype('', 'U') datatype('A B', 'U') datatype('XYZ', 'upper')
say datatype('', 'N') datatype('1e3', 'Number') datatype('abc', 'N') datatype(' -7 ', 'W') datatype('1.50', 'W') datatype('1e2', 'W') datatype('1.2e1', 'W') datatype('0.1', 'W') datatype('', 'W')
say datatype('', 'B') datatype('0', 'B') datatype('0110 1', 'B') datatype('1 01', 'B') datatype('01 0', 'B') datatype('2', 'B') datatype(' 1', 'B')
say datatype('', 'X') datatype('a', 'X') datatype('0aBc', 'x') datatype('a bc', 'X') datatype('ab c', 'X') datatype(' ab', 'X') datatype('g', 'X')
say datatype('', 'S') datatype('abc', 'S') datatype('a.b.c', 'S') datatype('.x', 'S') datatype('9x', 'S') datatype('!?_@#$', 'S') datatype('a-b', 'S') datatype('1E3', 'S')
