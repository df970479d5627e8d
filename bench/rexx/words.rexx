s = 'The quick brown fox jumps over the lazy dog'
do i = 1 to 6000000
  x = words(s)
end
say x
