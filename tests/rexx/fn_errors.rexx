/* wrong calls of built-in functions: each raises error 40, caught by SIGNAL ON SYNTAX */
c.1 = "substr('abc', 0)"
c.2 = "left('abc', -1)"
c.3 = "copies('x', 'a')"
c.4 = "x2c('fg')"
c.5 = "d2c(-1)"
c.6 = "datatype('1', 'Q')"
c.7 = "word('a b', 0)"
c.8 = "center('a', 3, 'xy')"
c.9 = "strip('a', 'X')"
c.10 = "queued(1)"
c.11 = "length()"
c.12 = "length('a', 'b')"
c.13 = "format('abc')"
c.14 = "lines('missing.txt')"
c.15 = "substr('abc', 2)"
c.0 = 15
do i = 1 to c.0
  call try c.i
end
say 'done'
exit

try:
  signal on syntax
  interpret 'x =' arg(1)
  say arg(1) '->' x
  return
syntax:
  say arg(1) '-> error' rc condition('C') errortext(rc)
  say '   ' condition('D')
  return
