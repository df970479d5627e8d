option noload
/* NOLOAD: an external routine runs in a child interpreter. Its arguments
   travel as hexadecimal bytes in tolma_NB_ARGS and tolma_ARG1...; what it
   returns comes back as the result. Regina has no NOLOAD; it passes
   arguments to external routines in its own way. */
say 'show:' show('ab', , 'x;y $(z) "q" `w`')
call show 'one'
say 'result:' result
say 'number:' echo(300) echo(-1) echo(1.5)
say 'text:' echo('two words')
/* No value returned: the child's exit status. */
call novalue 1
say 'no value:' result
/* An error in the child: its report, and its exit status (the error number). */
say 'failing:' failing()
/* Every call runs the file again. */
'echo ''return "changed"'' >echo.tlm'
say 'again:' echo(1)
/* The variables are not left behind in this program's environment. */
address unix 'printenv tolma_NB_ARGS'
say 'printenv tolma_NB_ARGS:' rc
