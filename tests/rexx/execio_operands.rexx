/* EXECIO operand garbage: every validation message, return codes 24, 28
   and 101, and the error output of each (EXECIO reports, it raises nothing) */
call make_temp_dir
'printf "l1\nl2\n" >f.txt'
'mkdir adir'
call t 'EXECIO '
call t 'EXECIO x DISKR f txt'
call t 'EXECIO -1 DISKR f txt'
call t 'EXECIO 99999999999999999999 DISKR f txt'
call t 'EXECIO 1 DISKX f txt'
call t 'EXECIO 1'
call t 'EXECIO 1 DISKR'
call t 'EXECIO * DISKR f txt (VAR x'
call t 'EXECIO 2 DISKW f txt (STRING abc'
call t 'EXECIO * DISKW f txt (STRING abc'
call t 'EXECIO 1 DISKR f txt (VAR x STEM y.'
call t 'EXECIO 1 DISKR f txt (VAR x FIND /a/'
call t 'EXECIO 1 DISKR f txt (FIND /a/ LOCATE /b/'
call t 'EXECIO 1 DISKR f txt (AVOID /a/ AVOID /b/'
call t 'EXECIO 1 DISKR f txt (FIND a'
call t 'EXECIO 1 DISKR f txt (LOCATE'
call t 'EXECIO 1 DISKR f txt (AVOID /x'
call t 'EXECIO 1 DISKR f txt (ZONE 5 2'
call t 'EXECIO 1 DISKR f txt (ZONE a'
call t 'EXECIO 1 DISKR f txt (ZONE 1'
call t 'EXECIO 1 DISKR f txt (MARGINS 0 5'
call t 'EXECIO 1 DISKR f txt (COLUMNS x'
call t 'EXECIO 1 DISKR f txt (LINESPAGE 0'
call t 'EXECIO 1 DISKR f txt (STEM'
call t 'EXECIO 1 DISKR f txt (STEM 1x'
call t 'EXECIO 1 DISKR f txt (STEM .x'
call t 'EXECIO 1 DISKR f txt (VAR'
call t 'EXECIO 1 DISKR f txt (VAR a+b'
call t 'EXECIO 1 DISKR f txt (CASE Z'
call t 'EXECIO 1 DISKR f txt (CASE'
call t 'EXECIO 1 DISKW f txt (RECFM Q'
call t 'EXECIO 1 DISKW f txt (LRECL x'
call t 'EXECIO 1 DISKW f txt (LRECL 0'
call t 'EXECIO 1 DISKW f txt (PRINTER'
call t 'EXECIO 1 DISKR f txt (LINENUM 0'
call t 'EXECIO 1 DISKR f txt (LINENUM x'
call t 'EXECIO 1 DISKR f txt (BOGUS'
call t 'EXECIO 1 DISKR f txt (Finis Bogus'
call t 'EXECIO 1 DISKR f txt ((('
call t 'EXECIO 1 DISKR f txt * 0'
call t 'EXECIO 1 DISKR f txt * x'
call t 'EXECIO 1 DISKR f txt * 1 extra'
call t 'EXECIO 1 DISKR f txt STEM x.'
call t 'EXECIO 1 DISKR nofile txt'
call t 'EXECIO 1 DISKD nofile txt'
call t 'EXECIO 1 DISKR f txt nosuchdir'
call t 'EXECIO 1 DISKW f txt nosuchdir (STRING x'
call t 'EXECIO 1 DISKR f txt 3'
call t 'EXECIO 1 DISKR f txt * 3'
call t 'EXECIO 1 PRINT f txt'
call t 'EXECIO * DISKR adir'
call t 'EXECIO 1 DISKW adir (STRING x'
say '-- keywords in any case, a closing parenthesis, the last STEM counts'
call t 'execio 1 diskr f txt (finis)'
call t 'EXECIO 1 DISKR f txt (STEM a. STEM b.) '
say '  ' b.0 b.1 symbol('A.0')
say '-- a very long name'
'EXECIO 1 DISKR' copies('x', 300) 'txt'
say '  rc' rc
say '-- the return code raises ERROR like a command''s'
call on error
'EXECIO 1 DISKR nofile txt'
'EXECIO 1 DISKR f txt (BOGUS'
'EXECIO 0 DISKR f txt (FINIS'
say 'the file is untouched:' linein('f.txt', 1) linein('f.txt') lines('f.txt')
call remove_temp_dir
exit

error:
  say '  ERROR trap: rc' rc 'for' condition('D')
  return

t:
  parse arg cmd
  say '>' cmd
  cmd
  say '  rc' rc
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
