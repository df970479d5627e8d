/* PARSE in a loop */
line = 'name=value; size=12345; colour=blue  flag'
total = 0
do i = 1 to 800000
  parse var line key '=' val ';' . 'size=' size ';' rest
  parse value i 'a b c' with n x y z
  total = total + size // 100 + n // 1000 + length(key) + length(z)
end
say total
