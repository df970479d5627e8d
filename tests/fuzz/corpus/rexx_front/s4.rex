x = "41"x "0100 0001"b 1E+3 .5
s[2:3] = "ab"
t[:1] =
if a then
  if b then nop
  else nop
else nop
exit ½x ­ y
