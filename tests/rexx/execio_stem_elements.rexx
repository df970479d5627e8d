/* EXECIO DISKR into stems of every shape: a plain stem, a stem with a
   variable in its name, a stem with a constant part, an exposed stem, and
   elements read back through a variable tail */
'printf "one\n\ntwo  \n" >short.txt'
do i = 1 to 25
  call lineout 'many.txt', copies('x', i * 3) i
end
call linein 'many.txt', 1, 0 /* back to line 1 for EXECIO */
/* A plain stem: elements 1 to 25, read back by a loop index */
'EXECIO * DISKR many.txt (STEM m. FINIS'
say 'many rc' rc m.0
total = 0
do i = 1 to m.0
  total = total + word(m.i, 2)
end
say 'sum' total 'longest' length(m.25) 'tenth' m.10
k = 12; say 'by name' m.k
/* Old elements past the new count stay */
'EXECIO * DISKR short.txt (STEM m. FINIS'
say 'short rc' rc m.0 '['m.1']' '['m.2']' '['m.3']' length(m.4)
/* A variable inside the stem name: its value is part of the tail */
b = 'Q'
'EXECIO * DISKR short.txt (STEM s.b. FINIS'
say 'var part' s.q.0 '['s.q.1']' '['s.q.3']' symbol('S.B.1')
/* A constant part */
'EXECIO * DISKR short.txt (STEM c.7. FINIS'
say 'constant part' c.7.0 '['c.7.3']'
/* Lower-case stem name, and the STRIP option on the same stem */
'EXECIO * DISKR short.txt (STEM low. STRIP FINIS'
say 'strip' low.0 '['low.3']'
/* The default value of a stem does not leak into read elements */
d. = 'default'
'EXECIO 2 DISKR short.txt (STEM d. FINIS'
say 'default' d.0 '['d.1']' '['d.2']' d.3
/* A stem exposed to a procedure is the caller's */
call reader
say 'exposed' p.0 p.1 p.3
/* A procedure's own stem does not touch the caller's */
call local_reader
say 'local' symbol('L.1')
exit
reader: procedure expose p.
  'EXECIO * DISKR short.txt (STEM p. FINIS'
  return
local_reader: procedure
  'EXECIO * DISKR short.txt (STEM l. FINIS'
  say 'inside' l.0 l.1
  return
