/* The ">F> " trace line of function calls: written after the call returns,
   under TRACE I only, indented by the expression nesting depth. CALL shows
   its result as ">>> " instead. Regina writes its own formats (">F>   "). */
trace r
a = length('abc')
trace i
b = length(substr('abcdef', 2, 3)) + 1
c = inner(2)
d = plus1(b)
call plus1 5
trace o
signal on syntax
trace i
e = nothing()
exit
syntax:
trace o
say 'error' rc 'at line' sigl
exit
inner: return arg(1) * 10
nothing: return
