/* Capture functions: output lines to a stem, to the data stack, errors to a second stem */
r = unix('printf "first\nsecond line\n\nlast"', 'out.')
say 'unix rc' r 'lines' out.0
do i = 1 to out.0
  say i '['out.i']'
end
r = sh("echo to stdout; echo to stderr >&2; exit 2", 'o', 'e')
say 'sh rc' r 'o.0='o.0 'o.1='o.1 'e.0='e.0 'e.1='e.1
push 'pushed before'
call popen 'echo q1; echo q2'
say 'queued' queued()
do queued()
  parse pull line
  say 'pulled' line
end
call windows_ne 'echo kept; echo dropped >&2', 'ne'
say 'windows_ne' ne.0 ne.1
call exec 'true', 'none'
say 'no output lines:' none.0
/* Megabytes of output: no deadlock, every line arrives */
r = unix('yes 0123456789012345678901234567890123456789 | head -c 5000000', 'big')
say 'big rc' r 'lines' big.0 'last length' length(big.121951) length(big.121952)
r = unix('head -c 3000000 /dev/zero >&2; yes | head -c 4000000', 'o', 'e')
say 'both pipes' o.0 length(e.1)
/* A program that cannot be started */
r = unix('no_such_program_hostenv', 'x')
say 'missing rc' r 'stem untouched:' x.0
/* Back-quoted commands */
say '['`'echo back; echo quoted'`']'
n = `'yes | head -c 2000000 | wc -c'`
say 'counted' n
/* Argument checks */
signal on syntax
call unix 'true', 'not a symbol'
exit
syntax:
  say 'syntax' rc errortext(rc) 'line' sigl
  call unix
