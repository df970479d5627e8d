/* the messages of the stream functions: wrong calls raise error 40 with a
   detail, caught here by SIGNAL ON SYNTAX; failures of a file are NOTREADY
   and, with no NOTREADY trap, error 40 as well */
call make_temp_dir
call lineout 'two.txt', 'first'
call lineout 'two.txt', 'second'
'mkdir adir'
c.1 = "linein('two.txt', 1, 1, 1)"
c.2 = "linein('two.txt', 'x')"
c.3 = "linein('two.txt', 0)"
c.4 = "linein('two.txt', 1.5)"
c.5 = "linein(, 1)"
c.6 = "linein('stdin', 2)"
c.7 = "linein('two.txt', 1, 'y')"
c.8 = "linein('two.txt', 1, 2)"
c.9 = "linein('two.txt', 3)"
c.10 = "linein('missing.txt')"
c.11 = "linein('adir')"
c.12 = "lineout('two.txt', 'x', 'z')"
c.13 = "lineout('two.txt', 'x', 4)"
c.14 = "lineout('two.txt', 'x', 1, 1)"
c.15 = "lineout(, 'x', 1)"
c.16 = "lineout('adir', 'x')"
c.17 = "charin('two.txt', 1, 1, 1)"
c.18 = "charin('two.txt', 100)"
c.19 = "charin('missing.txt')"
c.20 = "charin('two.txt', 0)"
c.21 = "charin('two.txt', 1, -1)"
c.22 = "charout('stdout', 'x', 1)"
c.23 = "charout('two.txt', 'x', 100)"
c.24 = "charout('two.txt', 'x', 1, 1)"
c.25 = "chars('two.txt', 1)"
/* Regina takes a second argument of LINES ('C' or 'N'); tolma takes one */
c.26 = "lines('two.txt', 1)"
c.27 = "chars('missing.txt')"
c.28 = "lines('missing.txt')"
c.29 = "state()"
c.30 = "state('a', 'b', 'c')"
c.31 = "state('')"
c.32 = "state('two.txt', 'Q')"
c.33 = "state('two.txt', 'nothing')"
c.34 = "lstate('two.txt', 'Q')"
c.35 = "stdin(1)"
c.36 = "fileconv('dos')"
c.37 = "fileconv('unix', 'x')"
c.38 = "linelast('two.txt', 'x', 9)"
c.39 = "charin('stdin', 1)"
c.0 = 39
do i = 1 to c.0
  call try c.i
end
say 'the file is unchanged:' linein('two.txt', 1) linein('two.txt') lines('two.txt')
call remove_temp_dir
exit

try:
  signal on syntax
  interpret 'x =' arg(1)
  say arg(1) '->' x
  return
syntax:
  say arg(1) '-> error' rc condition('C')
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
