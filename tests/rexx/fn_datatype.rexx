/* DATATYPE, SYMBOL and VERIFY-style checks */
say datatype('12') datatype(' 1.5E3 ') datatype('abc') datatype('') datatype('1e')
say datatype('12', 'W') datatype('1.0', 'W') datatype('1.5', 'W') datatype('-7', 'N')
say datatype('abc', 'L') datatype('aBc', 'L') datatype('ABC', 'U')
say datatype('A9', 'A') datatype('A 9', 'A') datatype('x.y', 'S') datatype('1x', 'S')
say datatype('ff 00', 'X') datatype('fg', 'X') datatype('', 'X') datatype('1010', 'B') datatype('12', 'B')
v = 1
drop w
say symbol('v') symbol('w') symbol('1x') symbol('a b')
say value('v') value('v', 5) v
