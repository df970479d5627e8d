s = 'The quick brown fox jumps over the lazy dog'
do i = 1 to 6000000
  x = substr(s, 5, 11)
end
say x
