/* LINEIN, LINEOUT, LINELAST and LINES on files, with line positions */
call make_temp_dir
f = 'lines.txt'

say '-- writing creates the file and appends'
say lineout(f, 'one') lineout(f, 'two') lineout(f, 'three')
/* Regina keeps separate read and write positions and answers 1 here;
   tolma has one line position, which a writer leaves after the last line. */
say 'lines after writing' lines(f)
say 'read line 1:' linein(f, 1) 'lines left' lines(f)
say 'next:' linein(f) 'lines left' lines(f)
say 'next:' linein(f) 'lines left' lines(f)
say 'past the end: [' || linein(f) || '] lines left' lines(f)
say 'count 0 positions only: [' || linein(f, 2, 0) || '] next' linein(f)

say '-- replacing a line inside the file moves the rest'
/* Regina truncates the file after a LINEOUT at a given line; tolma
   replaces that line and keeps the lines after it. */
say lineout(f, 'TWO-AND-MORE', 2)
call show f
say lineout(f, '2', 2)
say 'the position is after the line written:' linein(f)
call show f
say 'writing at the line after the last appends:' lineout(f, 'four', 4)
call show f
call bytes f

say '-- LINEOUT without a string only positions'
say lineout(f, , 3) linein(f)

say '-- LINELAST: the line written ends the file'
say linelast(f, 'last', 2)
call show f
say 'lineout appends again:' lineout(f, 'after')
call show f

say '-- a line without its line end keeps its own line'
'printf "alpha\nbeta" >noend.txt'
say lines('noend.txt') linein('noend.txt') linein('noend.txt')
say lineout('noend.txt', 'gamma')
call bytes 'noend.txt'

say '-- empty lines and an empty file'
'printf "\n\nx\n" >blank.txt'
say lines('blank.txt') '[' || linein('blank.txt') || ']' '[' || linein('blank.txt') || ']' linein('blank.txt')
'printf "" >empty.txt'
say lines('empty.txt') '[' || linein('empty.txt') || ']'

say '-- FILECONV'
say 'default' fileconv()
say 'to windows, was' fileconv('windows')
say lineout('crlf.txt', 'a') lineout('crlf.txt', 'b')
call bytes 'crlf.txt'
say 'read back:' linein('crlf.txt', 1) linein('crlf.txt')
say 'replace in windows mode' lineout('crlf.txt', 'ccc', 1)
call bytes 'crlf.txt'
say 'to unix, was' fileconv('UNIX')
say 'cr kept in unix mode:' c2x(linein('crlf.txt', 1))
say lineout('crlf.txt', 'd')
call bytes 'crlf.txt'

say '-- the file changed under the program is scanned again'
say lineout('chg.txt', 'l1') lineout('chg.txt', 'l2') lineout('chg.txt', 'l3')
say linein('chg.txt', 1) 'left' lines('chg.txt')
'printf "l4\nl5\n" >>chg.txt'
/* the position moved after the new last line */
say 'after appending by a command: left' lines('chg.txt') '[' || linein('chg.txt') || ']'
say 'line 5 is there:' linein('chg.txt', 5)
'printf "new1\nnew2\n" >chg.txt.tmp && mv chg.txt.tmp chg.txt'
say 'after replacing the file: left' lines('chg.txt') 'line 1:' linein('chg.txt', 1)
say 'the line after line 1 is replaced:' lineout('chg.txt', 'new3')
call show 'chg.txt'

say '-- a name under another directory is another stream'
'mkdir sub'
say lineout('sub/lines.txt', 'in sub')
cd 'sub'
say linein('lines.txt') '/' lines('lines.txt')
cd '..'
say lines(f)

call remove_temp_dir
exit

show: procedure
  parse arg name
  out = ''
  call linein name, 1, 0
  do while lines(name) > 0
    out = out || '[' || linein(name) || ']'
  end
  say '  ' out
  return

bytes: procedure
  parse arg name
  say '   bytes:' c2x(charin(name, 1, chars(name) + 1000))
  return

make_temp_dir:
  do until rc = 0
    tmp = '/tmp/tolma_test_' || random(1, 99999) || '_' || time('S')
    'mkdir' tmp '2>/dev/null'
  end
  cd tmp
  return

remove_temp_dir:
  cd '/'
  'rm -rf' tmp
  return
