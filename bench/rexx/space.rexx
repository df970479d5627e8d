s = '  The  quick brown   fox jumps  '
do i = 1 to 1000000
  x = space(s)
end
say x
