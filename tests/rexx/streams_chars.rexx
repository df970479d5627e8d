/* CHARIN, CHAROUT, CHARS, STREAM and STATE/LSTATE on files */
call make_temp_dir
f = 'chars.txt'
say '-- CHAROUT creates and appends, CHARS counts what is left'
say charout(f, 'abc') charout(f, 'def' || '0a'x) charout(f, 'ghi' || '0a'x)
/* one position for reading and writing: after the writes it is at the end
   (Regina reads from its own read position and answers 11 and 1 here) */
say 'chars after writing' chars(f) 'lines' lines(f)
say 'from 1:' charin(f, 1, 3) 'chars left' chars(f)
say 'next 2:' charin(f, , 2) 'chars left' chars(f)
say 'one by default: [' || c2x(charin(f)) || ']'
say 'linein reads the rest of the line: [' || linein(f) || '] then' linein(f)
say 'count 0: [' || charin(f, 2, 0) || '] then' charin(f)
say 'the last byte: [' || c2x(charin(f, 11, 5)) || '] start at size+1: [' || charin(f, 12, 5) || ']' chars(f)

say '-- CHAROUT at a position overwrites, past the end extends'
say charout(f, 'XY', 2)
say c2x(charin(f, 1, 100))
say charout(f, 'END', 12)
say c2x(charin(f, 1, 100)) chars(f)
say 'lines follow the bytes:' lines(f) linein(f, 1) linein(f) linein(f, 3)
say 'charout without a string positions only:' charout(f, , 4) charin(f, , 3)

say '-- reading a line after a character position (Regina does the same)'
say charin(f, 5, 1) 'lines' lines(f) 'rest [' || linein(f) || '] next [' || linein(f) || ']'

say '-- STREAM always answers READY and closes nothing'
/* Regina's STREAM answers the state (READY, NOTREADY, UNKNOWN) and runs the
   commands it is given */
say stream(f) stream(f, 'C', 'CLOSE') stream('nothing-here', 'D') stream()
say 'still open at its position:' charin(f, 1, 2) charin(f)

say '-- STATE and LSTATE'
'printf "" >zero.txt'
'mkdir dir'
'ln -s chars.txt link.txt'
'ln -s missing.txt dangling.txt'
call lineout 'size.txt', 'twelve bytes'
letters = 'D E F L O R W Z Y X'
names = 'chars.txt zero.txt dir link.txt dangling.txt size.txt none'
say left('', 14) letters
do i = 1 to words(names)
  n = word(names, i)
  line = ''
  do j = 1 to words(letters)
    line = line state(n, word(letters, j))
  end
  say left(n, 14) line
end
say 'words:' state('dir', 'directory') state('chars.txt', 'Exists') state('chars.txt', 'FILE'),
  state('size.txt', 'size') state('zero.txt', 'zero') state('link.txt', 'link'),
  state('dir', 'read') state('dir', 'write') state('dir', 'execute') state('dir', 'system')
say 'default test is E:' state('chars.txt') state('none')
say 'lower-case letters:' state('dir', 'd') state('size.txt', 's')
say 'lstate of the link:' lstate('link.txt', 'L') lstate('link.txt', 'F') lstate('link.txt', 'E'),
  'dangling:' lstate('dangling.txt', 'E') state('dangling.txt', 'E')
say 'state follows the link for size:' state('link.txt', 'S') 'lstate does not:' (lstate('link.txt', 'S') = 9)
say 'a device is a system file:' state('/dev/null', 'Y') state('/dev/null', 'F')
say 'owner and group of a file of ours:' (state('zero.txt', 'N') \= '') (state('zero.txt', 'group') \= ''),
  'owns:' state('zero.txt', 'O') state('zero.txt', 'owns')
say 'no such file: [' || state('none', 'S') || '] [' || state('none', 'P') || '] [' || state('none', 'N') || ']'
stamp = state('zero.txt', 'P')
say 'stamp form:' translate(stamp, '999999999999', '0123456789') (stamp = state('zero.txt', 'stamp'))
'chmod 644 size.txt'
x1 = state('size.txt', 'X')
'chmod 755 size.txt'
say 'execute before and after chmod:' x1 state('size.txt', 'X')

call remove_temp_dir
exit

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
