do i = 1 to 1000000
  x = d2x(123456)
end
say x
