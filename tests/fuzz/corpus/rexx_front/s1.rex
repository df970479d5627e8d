/* sample */
say "hello" a b; x = 3 + -2**2
if a = 1 then say yes
else do i = 1 to 10 by 2 for 3 while x < 5
  say f(1,,2) g() s[2:4] s[:2] s[3:]
end i
