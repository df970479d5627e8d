/* lines written with LINEOUT are in the file when a command reads it */
f = 'kept.txt'
do i = 1 to 3
  call lineout f, 'line' i
end
'cat' f
'wc -l <' f
/* another program adds a line: the stream notices and reads on after it */
'echo added >>' f
call lineout f, 'line 4'
'cat' f
say linein(f, 4) '|' linein(f) '|' lines(f)
