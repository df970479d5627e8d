s = 'The quick brown fox jumps over the lazy dog'
do i = 1 to 5000000
  x = pos('lazy', s)
end
say x
