/* Compound variables: tails of every length, tails that look alike, number
   tails met by their digits, and tail variables that appear later */

/* Text tails of 0 to 40 characters, each differing from its neighbour in
   one character only: first, middle or last. */
s. = '-'
do n = 0 to 40
  k = copies('a', n); s.k = n
  if n > 0 then do
    k = 'b'copies('a', n - 1); s.k = 'b'n
    k = copies('a', n - 1)'d'; s.k = n'd'
    m = n % 2
    k = copies('a', m)'c'copies('a', max(0, n - m - 1)); s.k = 'c'n
  end
end
bad = 0
do n = 0 to 40
  k = copies('a', n)
  if s.k \= n then bad = bad + 1
  if n > 0 then do
    k = 'b'copies('a', n - 1); if s.k \= 'b'n then bad = bad + 1
    k = copies('a', n - 1)'d'; if s.k \= n'd' then bad = bad + 1
    m = n % 2
    k = copies('a', m)'c'copies('a', max(0, n - m - 1)); if s.k \= 'c'n then bad = bad + 1
  end
end
say 'lengths' bad
k = copies('a', 41); say s.k
k = ''; say '['s.k']'

/* Blanks, tabs and other bytes inside a tail are part of it. */
t = 'a b'; u = 'a' || '09'x || 'b'; v = 'a  b'; w = 'a b '
s.t = 'space'; s.u = 'tab'; s.v = 'two'; s.w = 'trail'
say s.t s.u s.v s.w
z = '00'x; s.z = 'nul'; z2 = '0000'x; say s.z s.z2
x8 = 'abcdefgh'; x9 = 'abcdefgh '; x16 = 'abcdefghabcdefgh'; x17 = x16'h'
s.x8 = 8; s.x9 = 9; s.x16 = 16; s.x17 = 17
say s.x8 s.x9 s.x16 s.x17

/* Number tails: a number and the string of its digits name one element;
   other spellings of the same value do not. */
drop a.
a. = '?'
i = 5; a.i = 'five'
j = '5'; say a.j a.5
j = '05'; say a.j
j = 5.0; say a.j
j = 4 + 1; say a.j
j = 10 / 2; say a.j
j = '5 '; say a.j
j = 0; a.j = 'zero'; j = '0'; say a.j a.0
j = -0; say a.j
j = -5; a.j = 'minus'; k = '-5'; say a.k
big = 123456789; a.big = 'nine digits'; say a.123456789
numeric digits 5
j = 123456; say j; a.j = 'exp'; say a.123456 a.j
numeric digits 9
k = '1.2346E+5'; say a.k
k = 123456; say a.k
numeric digits 15
k = 999999999999999; a.k = 'fifteen'; say a.999999999999999
k = '999999999999999'; say a.k
k = '000000000000000001'; a.k = 'padded'; say a.1 a.k
k = '1234567890123456789'; a.k = 'nineteen'; say a.1234567890123456789
k = '123456789012345678'; a.k = 'eighteen'; say a.123456789012345678 a.1234567890123456789
numeric digits 9
k = 1000; say a.k; a.1000 = 'thousand'; say a.k
k = '1E3'; a.k = 'text'; say a.k a.1000

/* Many numbered elements, then text tails among them. */
drop c.
do i = 1 to 3000; c.i = i * 2; end
c.x1 = 'x1'; c.count = 'count'
k = 'x1'; say c.k c.count c.3000 c.1024 c.3001
sum = 0; do i = 3000 to 1 by -1; sum = sum + c.i; end; say sum

/* A tail variable that has no value yet, and later gets one. */
drop d. q
d. = 0
do r = 1 to 3
  d.q = d.q + r
  if r = 2 then q = 7
end
k = 'Q'; say d.k d.7
call sub
say 'back' d.k d.7 d.8
e. = 0
do i = 1 to 4
  e.nv = e.nv + 1
  if i = 2 then interpret 'nv = 3'
  if i = 3 then call value 'NV', 4
end
k = 'NV'; say e.k e.3 e.4
exit

sub: procedure expose d.
  d.q = 'local tail'
  q = 8
  d.q = 'eight'
  return
