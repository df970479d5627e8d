/* Values, arithmetic, concatenation and assignment as a user writes them */
say 'hello' "world"
say 'abc'"def" 'ghi'||'jkl'
x = 3; y = x * 2.5
say x y (x + y) / 2
say 1/3 2**0.5 (7 % 2) (-7 % 2) (7 // 2) (-7 // 2) (7 // -2)
say 1.50 * 2 '|' 0.1 + 0.2 '|' 1e3 + 1 '|' 10 - 10.5
say (3 = ' 3 ') (3 == ' 3 ') ('ABC' = 'abc') ('a' < 'b') (2 > 10) ('2' >> '10')
say (\0) (\1) (-x) (+x) (- -x)
say (1 | (1/0)) (0 & (1/0))
long = copies('ab', 20)
say length(long) left(long, 5)
empty =
say '['empty']' length(empty)
n = '007'
say n n + 0 n || 1
a.1 = 'one'; i = 1
say a.i a.2 a.1.2
a. = 'dflt'
say a.1 a.xyz
drop a.
say a.1
b.i.i = 'diag'
say b.1.1 b.i.1
say 'hex' '414243'x 'bin' '01000001'b
say 12345678901 * 10
say 0.000001 * 0.000001
say 2 ** 10 2 ** -1 ((-2) ** 2) (-2 ** 2)
numeric digits 5
say 123456 + 0 1/3
