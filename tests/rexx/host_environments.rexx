/* The built-in environments, ADDRESS forms and ADDRESS() */
say 'start' address()
address
say 'swap at start stays' address()
address sh
say address()
address
say 'swapped to' address()
address
say 'swapped again to' address()
envs = 'WINDOWS UNIX SH CSH TCSH KSH EXEC'
do i = 1 to words(envs)
  e = word(envs, i)
  address value e
  'exit' i
  say address() 'rc' rc
end
address value 'unix'
say 'value form folded:' address()
address ksh 'echo one command in KSH'
say 'still' address()
/* SH with no variable SH: the command runs directly */
address sh 'unset SH; echo SH is "[$SH]"; exit 7'
say 'sh rc' rc
/* Background command: returns 0 at once; wait for its file */
'(sleep 0.1; echo written > bg.txt) &'
say 'background rc' rc
'while ! test -s bg.txt; do sleep 0.02; done'
say 'background wrote:' linein('bg.txt')
'no_such_program_hostenv &'
say 'background missing program rc' rc
/* The intercepted commands work in every environment */
address windows 'MAKEBUF'
say 'makebuf rc' rc
'DROPBUF'
address nowhere
