do i = 1 to 1000000
  x = copies('ab', 20)
end
say x
