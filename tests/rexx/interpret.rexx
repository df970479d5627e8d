/* INTERPRET runs a string in the current context */
x = 5
interpret 'y = x * 2'
say 'y' y
interpret 'say "two clauses";' 'say "in one string"'
do i = 1 to 3
  interpret 'v.' || i '=' i * i
end
say v.1 v.2 v.3
/* the string's own labels */
interpret 'call local; say "after local"; signal done; local: say "in local"; return; done: say "done"'
/* LEAVE and ITERATE reach the loop around the INTERPRET */
do i = 1 to 5
  interpret 'if i = 2 then iterate; if i = 4 then leave'
  say 'loop' i
end
/* RETURN inside INTERPRET returns from the routine */
say 'routine gave' r()
/* a SYNTAX trap takes an error inside INTERPRET */
signal on syntax
interpret 'z = 1 +'
say 'never'
syntax:
say 'trapped' rc
code = 'n = n + 1'
n = 0
do 100; interpret code; end
say 'n' n
exit
r: interpret 'return "from interpret"'; return 'not this'
