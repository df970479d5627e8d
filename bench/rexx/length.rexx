s = 'The quick brown fox jumps over the lazy dog'
do i = 1 to 8000000
  x = length(s)
end
say x
