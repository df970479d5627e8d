/* EXECIO PRINT: lines piped into the print spooler. TOLMA_PRINT_COMMAND stands in
   for lpr here, so the "printed" text lands in files of the working directory
   (the runner's temporary directory). Regina has no EXECIO. */
call setenv 'TOLMA_PRINT_COMMAND', 'cat > printed.txt'
say '-- from the stack, with "*" up to a null line'
queue 'first line'
queue 'second line'
queue ''
queue 'left on the stack'
'EXECIO * PRINT'
say 'rc' rc 'queued' queued()
call show
pull .
say '-- from a stem, with COLUMNS cutting each line'
s.0 = 3; s.1 = 'abcdefghij'; s.2 = 'short'; s.3 = ''
'EXECIO * PRINT (STEM s. COLUMNS 4'
say 'rc' rc
call show
say '-- LINESPAGE: a form feed (shown as <FF>) between pages'
do i = 1 to 5; t.i = 'line' i; end; t.0 = 5
'EXECIO * PRINT (STEM t. LINESPAGE 2'
say 'rc' rc
call show
say '-- a count, VAR, STRING, STRIP and CASE U'
'EXECIO 2 PRINT (STEM t.'
say 'rc' rc
call show
v = 'one variable  '
'EXECIO 1 PRINT (VAR v STRIP CASE U'
say 'rc' rc
call show
'EXECIO 1 PRINT (STRING text as written )'
say 'rc' rc
call show
say '-- PRINTER reaches the command as the variable PRINTER'
call setenv 'TOLMA_PRINT_COMMAND', 'echo "printer [$PRINTER]" > printer.txt; cat > printed.txt'
'EXECIO 1 PRINT (PRINTER laser1 STRING to a named printer'
say 'rc' rc linein('printer.txt', 1)
call show
say '-- no lines: nothing is started'
call setenv 'TOLMA_PRINT_COMMAND', 'echo started > started.txt'
'EXECIO 0 PRINT (STEM t.'
say 'rc' rc 'started:' state('started.txt', 'E')
say '-- a failing spooler: 100 + its exit status'
call setenv 'TOLMA_PRINT_COMMAND', 'cat >/dev/null; exit 3'
'EXECIO 1 PRINT (STRING x'
say 'rc' rc
say '-- a spooler that ends without reading: 101 (no SIGPIPE kills the program)'
call setenv 'TOLMA_PRINT_COMMAND', 'exit 0'
big.0 = 20000
do i = 1 to 20000; big.i = copies('x', 100); end
'EXECIO * PRINT (STEM big.'
say 'rc' rc
say '-- megabytes through a spooler that also writes output'
call setenv 'TOLMA_PRINT_COMMAND', 'wc -l'
'EXECIO * PRINT (STEM big.'
say 'rc' rc
say '-- no spooler: neither TOLMA_PRINT_COMMAND nor lpr along PATH'
call unsetenv 'TOLMA_PRINT_COMMAND'
call setenv 'PATH', getcwd()
'EXECIO 1 PRINT (STRING x'
say 'rc' rc
say '-- PRINT names no file'
'EXECIO 1 PRINT f txt'
say 'rc' rc
'EXECIO 1 PRINT (PRINTER'
say 'rc' rc
exit

show: procedure
  'EXECIO * DISKR printed txt (FINIS STEM p.'
  text = ''
  do i = 1 to p.0; text = text || p.i || '|'; end
  say '[' || changestr('0c'x, text, '<FF>') || ']'
  return
