/* information functions at their limits; the results agree with Regina REXX except where noted */
/* the message texts are this interpreter's own: 1 has a text, 3, 49 and the unused numbers none */
say '['errortext(1)']' '['errortext(3)']' errortext(4) '/' errortext(49) '['errortext(77)']' '['errortext(97)']' '['errortext(99)']'
say sourceline() '['sourceline(1)']'
say symbol('x') symbol('x.') symbol('x.1') symbol('.5') symbol('') symbol('9abc') symbol('a-b')
x = 5; x.1 = 'one'; drop y
say symbol('x') symbol('X') symbol('x.1') symbol('x.2') symbol('y') value('x') value('x.1') value('y') value('x.9') value('5')
say value('x', 6) x value('x.1', 'uno') x.1
/* CONDITION outside a trapped condition */
say '['condition()']' '['condition('C')']' '['condition('I')']' '['condition('D')']' '['condition('S')']'
/* TRACE gives the previous setting */
say trace() trace('R') trace('O') trace('n') trace()
/* CVTAILS (not in Regina): the tails that have a value, in the order they were made */
t.b = 1; t.a = 2; t.3 = 3; drop t.a; t.c.d = 4
say '['cvtails('t')']' '['cvtails('t.')']' '['cvtails('none')']'
/* QUEUED and ADDRESS (the default environment is UNIX, Regina's SYSTEM) */
push 'a'; queue 'b'
say queued() address()
call f 1, , 'three'
/* CONDITION inside the handlers of CALL and SIGNAL traps (CALL ON NOVALUE is this
   interpreter's own: Regina refuses it) */
call on novalue name held
say undefined_one
signal on novalue
say undefined_two
exit
held:
  say condition() condition('C') condition('I') condition('D') condition('S')
  return
novalue:
  say condition() condition('c') condition('i') condition('d') condition('s')
  exit
f:
say arg() arg(1) '['arg(2)']' arg(3) '['arg(4)']' arg(2, 'e') arg(2, 'O') arg(3, 'E') arg(9, 'o')
return
