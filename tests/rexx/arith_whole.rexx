/* Arithmetic on whole numbers, nested, and where the short way must give up */
total = 0
do i = 1 to 30
  total = total + (i // 7) * 2 - 1
end
say 'total' total
a = 12; b = 5; z = 0; neg = -7; dec = 2.5; big = 123456789012345; s = ' 40 '
say 'nested' a + b * 2 - 1 (a - b) * (a + b) a // b * b + a % b
say 'signs' neg // 3 neg % 3 -neg // 3 (neg - 1) // 4 (0 - a) % 5
say 'zeros' z * neg (a - a) * 3 (b - b) // 4 z - z
say 'places' 1.50 * 2 + 0 (a - a) + 1.50 (1.50 + 0) * 2 3.0 * (2 + 1)
say 'strings' s + 1 (s // 7) * 2 '007' + 0 ' 3 ' * (2 + 1)
say 'decimals' a + dec * 2 (dec + a) // 5 (a + b) / 2 * 2 (a * b) + 0.5
say 'exponent' 1e3 + 1 (2e2 // 7) + 0 1E2 * (3 - 1)
say 'large' big + 1 (big * 10) + 1 big // 7 * 1 (big + 1) // 1000
say 'compare' (a // 5 = 2) (a * 2 > b + 19) (a - b <> 7) (neg * 2 <= -14) (a = '12.0')
say 'strict' (a + 0 == 12) (a * 1.0 == 12) (a // 5 \== 2)
if i // 7 = 3 then say 'loop end' i
numeric digits 4
say 'digits4' 9999 + 1 (99 * 101) + 0 12345 * 1 + 0 (1000 * 10) // 7
signal on syntax name too_long
say 'too long' (123456 % 7) + 1
too_long:
say 'error' rc 'at line' sigl condition('D')
numeric digits
signal on syntax name bad_var
word = 'abc'
say 'bad' 1 + (word * 2)
bad_var:
say 'error' rc errortext(rc) condition('D')
signal on syntax name bad_zero
say 'zero' 7 + (a // z)
bad_zero:
say 'error' rc errortext(rc) condition('D')
signal on novalue name no_value
say 'novalue' 1 + (unset_name * 2)
no_value:
say 'novalue trapped' condition('D')
call exposed_sum
say 'after' counter
trace i
say 'traced' a + b * 2
trace o
x = 3
interpret 'y = x * (x + 1) // 5'
say 'interpret' y
exit

exposed_sum: procedure expose counter a
  counter = a * 2 + a // 5
  return
