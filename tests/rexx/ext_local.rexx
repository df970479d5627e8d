/* External routines found in the current directory.
   Regina differs by design: it looks for the name as written (TWICE), runs
   the file as a program of its own (its labels stay its own, SOURCELINE
   counts the main program only) and knows no ".tlm". */
say 'twice:' twice(21)
call twice 4
say 'result:' result
say 'plus100:' plus100(5)
/* The unit's own labels are the program's now. */
call helper 'direct'
say 'sigl in unit:' where()
/* The file is read once: changing it does not change the routine. */
"echo 'return -1' >plus100.tlm"
say 'again:' plus100(6)
/* A quoted name with a directory part opens that file; no .tlm is added. */
say 'dotted:' './sub/util.rexx'('x')
/* A quoted plain name reaches the loaded routine as well. */
say 'quoted:' 'TWICE'(8)
/* Twice is the symbol TWICE: the routine loaded above. */
say 'mixed:' Twice(1)
/* A routine that calls itself finds its own label; PROCEDURE works. */
n = 'kept'
say 'fact:' fact(6) n
say 'lines:' sourceline()
say 'line of unit:' sourceline(sourceline() - 1)
exit
