s = '  The  quick brown   fox jumps  '
do i = 1 to 5000000
  x = space(s)
end
say x
