do i = 1 to 5000000
  x = copies('ab', 20)
end
say x
