do i = 1 to 2500000
  x = d2x(123456)
end
say x
