/* line and character streams on files made in the working directory */
f = 'lines.txt'
say state(f) '['state(f, 'S')']'
say lineout(f, 'alpha') lineout(f, 'beta') lineout(f, 'gamma')
say state(f) state(f, 'S')
say linein(f, 1) '|' linein(f) '|' lines(f)
say linein(f) lines(f)
/* overwrite the second line in place, then read the file again from the start */
call lineout f, 'BETA', 2
call linein f, 1, 0
do i = 1 while lines(f) > 0
  say i linein(f)
end
/* at the end of the file a write adds a line */
call lineout f, 'delta'
say lines(f) linein(f, 4) lines(f)
say charin(f, 1, 5) c2x(charin(f, 6, 1)) charin(f, , 4)
g = 'chars.txt'
say charout(g, 'abc') charout(g, 'def') state(g, 'S')
say charin(g, 1, 6) chars(g)
say state(f) state(f, 'F') state(f, 'D') state(f, 'S') state(f, 'Z') state('.', 'directory')
say stream(f, 'c', 'close')
