/* Concatenation: blanks and abuttal over literals, variables, numbers,
   intermediate results, long strings and calls that change an operand */
a = 'left'; b = 'right'; n = 7; e = ''
say a b '|' a || b '|' a''b '|' a e b '|' e || e || 'x'
say n + 1 n * 2 || 'z' (n // 4) || (n % 4) 'k'n'k' 1.50 * 2 'end'
say (1 + 1) || 'a' 'b' || (2 * 3) (n - n) || '' (-n) || (+n)
long = copies('abcdefghij', 5)
say length(long long) length(long || long) length('x' || long 'y')
s = 'ab'
s = s || s
s = s s || s
say s
chain = ''
do i = 1 to 12
  chain = chain || i // 10
end
say chain
say 'value' a || change() a
say 'again' a 'then' change2() || a
x = 'p'
say x || bump() || x
trace i
say a || n 'x'
trace o
say '['copies(' ', 3)']' '['strip('  t  ')']'
exit
change: a = 'changed'; return '!'
change2: a = 'twice'; return '?'
bump: x = x || 'q'; return '+'
