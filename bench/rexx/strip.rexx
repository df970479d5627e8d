s = '    The quick brown fox    '
do i = 1 to 1000000
  x = strip(s)
end
say x
