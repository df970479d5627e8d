/* Comparisons as conditions: the first test of a node and the later ones */
/* take different roads; both must give the same verdicts. */
vals = '7 7.0 abc 7.000001 1E1 10 -7 0 00 -0 0.0 1e0 1'
do pass = 1 to 2
  out = ''
  do j = 1 to words(vals)
    v = word(vals, j)
    r = ''
    if v = 7 then r = r'='
    if v \= 7 then r = r'!'
    if v > 7 then r = r'>'
    if v < 7 then r = r'<'
    if v >= 10 then r = r'G'
    if v <= 0 then r = r'L'
    if v == 7 then r = r'S'
    if v = 0 then r = r'z'
    out = out v':'r
  end
  say pass out
end
/* a value with blanks, a string that looks like no number, an empty one */
do pass = 1 to 2
  do j = 1 to 4
    select
      when j = 1 then v = ' 7 '
      when j = 2 then v = '7a'
      when j = 3 then v = ''
      otherwise v = '+7'
    end
    say pass j '['v']' (v = 7) word('no yes', (v = 7) + 1) word('no yes', (v >= 7) + 1)
    if v = 7 then say '  equal'
    else say '  not equal'
  end
end
/* DIGITS decides for numbers with a fraction, never for whole ones */
numeric digits 5
do pass = 1 to 2
  x = 1.000001
  if x = 1 then say pass 'fraction rounded: equal'
  else say pass 'fraction rounded: not equal'
  y = 123456
  if y = 123457 then say pass 'whole: equal'
  else say pass 'whole: not equal'
  if y // 10 = 6 then say pass 'expression = literal'
  if length(x) > 3 then say pass 'length' length(x)
end
numeric digits
/* a variable that changes from number to text and back between tests */
k = 0
do i = 1 to 6
  if i = 3 then k = 'zero'
  if i = 5 then k = 0
  if k = 0 then say i 'k is zero'
  else say i 'k is' k
  k = i // 2
end
/* an unset variable in the test: its name is its value */
drop u
do i = 1 to 2
  if u = 0 then say 'u is zero'
  else say 'u is' u
  u = 0
end
/* exposed variables in a procedure */
n = 5
call check
call check
say 'after' n
/* a comparison whose left side fails, trapped */
signal on syntax
do i = 1 to 2
  if i = 2 then z = 'x'
  else z = 1
  if z + 1 = 2 then say 'z + 1 is 2'
end
say 'never'
exit
syntax:
say 'trapped' rc condition('D') 'at line' sigl
exit
check: procedure expose n
if n = 5 then say 'n is five'
else say 'n is' n
n = n + 1
return
