/* PARSE: one template run many times; patterns and pieces of every length */
/* string patterns: at the start, at the very end, overlapping prefixes, absent */
parse value 'aaab' with v1 'aab' v2
say '['v1']['v2']'
parse value 'abcabcabd' with v1 'abd' v2
say '['v1']['v2']'
parse value 'xyz' with v1 'xyz' v2
say '['v1']['v2']'
parse value 'xyz' with v1 'z' v2
say '['v1']['v2']'
parse value 'xy' with v1 'xyz' v2
say '['v1']['v2']'
parse value 'ab' with v1 'b' v2 'b' v3
say '['v1']['v2']['v3']'
/* long strings: the pattern found past many false starts */
long = copies('a', 40)'ab'copies('a', 30)'abc'copies('-', 5)
parse var long v1 'abc' v2
say length(v1) '['v2']'
parse var long v1 'abd' v2
say length(v1) '['v2']'
parse var long v1 (long) v2
say '['v1']['v2']'
pat = copies('a', 20)'abc'
parse var long v1 (pat) v2
say length(v1) '['v2']'
pat = copies('a', 20)'abd'
parse var long v1 (pat) v2
say length(v1) length(v2)
parse value copies('x', 100)'|'copies('y', 3) with v1 '|' v2
say length(v1) '['v2']'
/* tabs are blanks between words; other white space is not */
parse value 'a'||'09'x||'b'||'09'x||'09'x||'c' with v1 v2 v3
say '['v1']['v2']['c2x(v3)']'
/* pieces of every length up to a long one */
do n = 0 to 26
  text = left('abcdefghijklmnopqrstuvwxyz', n)
  parse value '<'text'>' with '<' v1 '>'
  if v1 \== text then say 'length' n 'wrong: ['v1']'
  parse value text 'end' with v2 v3
  if v2 \== text & n > 0 then say 'word' n 'wrong: ['v2']'
end
parse value copies('q', 300) 'w' with v1 v2
say length(v1) v2
/* a long value replaced by a short one and back */
v1 = copies('z', 50)
parse value 'short' with v1
say v1
parse value copies('y', 60) with v1
say length(v1) left(v1, 3)
/* the source is also a target */
a = 'one two three'
parse var a q a
say '['q']['a']'
a = 'one two three'
parse var a a q
say '['a']['q']'
a = 'x=1;y=2'
parse var a q '=' a ';' r
say '['q']['a']['r']'
a = 'first second'
parse value a with q a
say '['q']['a']'
a = 'third fourth'
parse value a with q r
say '['q']['r']' a
parse upper value a with q r
say '['q']['r']' a
drop a
parse value a with q r
say '['q']['r']'
/* PARSE VAR of a variable without a value: its name */
drop nothing
parse var nothing v1 +3 v2
say '['v1']['v2']'
/* compound targets, their tails set by earlier targets */
line = '2 two 3 three'
parse var line i s.i j s.j
say s.2 s.3 '['i j']'
parse var line k.1 k.2 k.1
say '['k.1']['k.2']'
stem. = 'dflt'
parse value 'p q' with stem.a stem.b
say stem.a stem.b stem.c
/* one clause run again with a variable pattern that changes */
seps = '-+*'
do i = 1 to 3
  sep = substr(seps, i, 1)
  parse value 'l-m+n*o' with v1 (sep) v2
  say i '['v1']['v2']'
end
do i = 1 to 4
  parse value 'abcdefgh' with v1 +(i) v2 =(i) v3
  say i '['v1']['v2']['v3']'
end
/* a number as the source */
n = 12.50 * 2
parse var n v1 '.' v2
say '['v1']['v2']'
parse value 1/3 with v1 '.' v2
say '['v1']['v2']'
parse value 7 + 5 with v1 +1 v2
say '['v1']['v2']'
/* upper and lower case with each source */
w = 'MiXeD wOrDs'
parse upper var w v1 v2
say v1 v2 w
parse lower var w v1 v2
say v1 v2 w
/* argument templates: numbers, missing ones, case */
call args 1+1, , 'Third Arg', 4 * 0.5
call args
call upper_args 'lower case', 'x'
/* the same clause in a routine called again and again */
total = ''
do i = 1 to 5
  total = total || pieces('a' i 'b' i * i)
end
say total
/* positions */
parse value 'abcdefghij' with 3 v1 +0 v2 =1 v3 -2 v4
say '['v1']['v2']['v3']['v4']'
parse value 'abcdefghij' with v1 5 v2 5 v3
say '['v1']['v2']['v3']'
parse value 'abc' with v1 +10 v2 -20 v3
say '['v1']['v2']['v3']'
parse value 'abcdefghij' with v1 =999999999 v2
say '['v1']['v2']'
parse value 'abc' with v1 1e1 v2
say '['v1']['v2']'
/* a malformed pattern fails only when reached; earlier pieces stay assigned */
signal on syntax name bad_plus
drop v1 v2 v3
parse value 'abc' with v1 2 v2 +x v3
say 'not reached'
bad_plus:
say 'error' rc symbol('V1') v1 symbol('V2') symbol('V3')
signal on syntax name bad_number
drop v1 v2
parse value 'abc' with v1 +1.5 v2
say 'not reached'
bad_number:
say 'error' rc symbol('V1') symbol('V2')
signal on syntax name bad_arg
call bad_template 'a b', 'c'
say 'not reached'
bad_arg:
say 'error' rc
exit

args:
  parse arg p1 p2, p3, p4 +4 p5, p6 '.' p7, p8
  say '['p1']['p2']['p3']['p4']['p5']['p6']['p7']['p8']'
  return
upper_args:
  arg p1 p2, p3
  say '['p1']['p2']['p3']'
  return
pieces: procedure
  parse arg w1 n1 w2 n2
  return w1 || n1 || w2 || n2 ';'
bad_template:
  drop q1 q2
  parse arg q1 q2, q3 = q4
  say 'not reached'
