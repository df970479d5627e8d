s = '    The quick brown fox    '
do i = 1 to 8000000
  x = strip(s)
end
say x
