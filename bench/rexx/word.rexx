s = 'The quick brown fox jumps over the lazy dog'
do i = 1 to 6000000
  x = word(s, 5)
end
say x
