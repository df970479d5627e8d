/* Stream use on which tolma and Regina agree (this program gives the same
   output under both): sequential LINEIN and CHARIN, LINES and CHARS while
   reading, LINEIN and CHARIN at a position, LINEOUT and CHAROUT appending
   to a new file, files written by a command. */
do until rc = 0
  dir = '/tmp/tolma_test_' || random(1, 99999) || '_' || time('S')
  'mkdir' dir '2>/dev/null'
end
f = dir'/data.txt'
'printf "first\nsecond\n\nfourth line\nlast\n" >' f
n = 0
do while lines(f) > 0
  n = n + 1
  say n '[' || linein(f) || ']' (lines(f) > 0)
end
say 'at the end: [' || linein(f) || ']' lines(f) chars(f)
say 'line 2 again:' linein(f, 2) '/ then' linein(f)
say 'chars from 1:' charin(f, 1, 5) c2x(charin(f)) charin(f, , 6)
say 'chars left' chars(f) 'and the rest of that line:' linein(f)
say 'charin at 7:' charin(f, 7, 6) 'chars' chars(f)

g = dir'/new.txt'
say lineout(g, 'one') lineout(g, 'two') charout(g, 'th') charout(g, 'ree' || '0a'x)
'cat' g
say 'new file read back:' linein(g, 1) linein(g) linein(g)
say 'empty lines count:' lines(g)

h = dir'/noend.txt'
'printf "no line end" >' h
say 'a last line without its end:' lines(h) '[' || linein(h) || ']' lines(h)

'rm -rf' dir
