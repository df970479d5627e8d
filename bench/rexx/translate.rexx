s = 'The quick brown fox jumps over the lazy dog'
do i = 1 to 5000000
  x = translate(s, 'abc', 'xyz')
end
say x
