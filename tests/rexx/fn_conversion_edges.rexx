/* conversions at their limits: empty strings, lengths, negative numbers, blanks in hex and
   binary strings. The results agree with Regina REXX. */
say '['c2x('')']' c2x('0123'x) c2x(' ') '['x2c('')']' x2c('4a4B') c2x(x2c('123')) x2c('41 42 43') c2x(x2c('1 02'))
say c2d('') c2d('00'x) c2d('7f'x) c2d('80'x) c2d('80'x, 1) c2d('7f'x, 1) c2d('ffff'x, 2) c2d('ffff'x, 1) c2d('0080'x, 1) c2d('81'x, 0)
say c2d('ffffff'x) c2d('ff'x, 3) c2d('fffe'x, 4) c2d('01020304'x)
say c2x(d2c(0)) c2x(d2c(255)) c2x(d2c(65535)) c2x(d2c(1, 3)) c2x(d2c(-1, 1)) c2x(d2c(-256, 3)) c2x(d2c(256, 1)) c2x(d2c(-129, 1)) '['d2c(5, 0)']'
/* D2X, X2D */
say d2x(0) d2x(1) d2x(15) d2x(16) d2x(2147483647) d2x(-1, 2) d2x(-255, 4) d2x(255, 1) d2x(255, 0)'|' d2x(-1, 1) d2x(123456789)
say x2d('0') x2d('7f') x2d('FFFF') x2d('ffff', 4) x2d('ffff', 2) x2d('7fff', 4) x2d('8000', 4) x2d('f', 1) x2d('7', 1) x2d('ff', 0) x2d('abc', 5)
/* B2X, X2B */
say b2x('0') b2x('1') b2x('11111') b2x('101 0101') '['x2b('')']' x2b('0') x2b('F') x2b(12)
say x2d('ffffffffff', 10) x2d('0000000000ff') x2d('00ff', 4) d2x(-32768, 4) c2x(d2c(-32768, 2)) c2d('000000ff'x, 2)
/* C2O (not in Regina): three octal digits per byte */
say '['c2o('')']' c2o('a') c2o('00ff0a'x) c2o(7) c2o('0102'x)
/* blanks in a hex string only between whole bytes, in a binary string only between groups
   of four; the first group may be shorter (Regina also takes a shorter last group) */
say c2x(x2c('4 4142')) x2b('1 23 45') b2x('1 0000 0001')
