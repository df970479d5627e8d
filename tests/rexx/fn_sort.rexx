/* SORT (not in Regina): the layout is in docs/rexx-functions.md */
call fill 'pear apple fig banana cherry'
say sort('s.') show()
say s.sortorder.1 s.sortorder.2 s.sortorder.3 s.sortorder.4 s.sortorder.5
call fill 'pear apple fig banana cherry'
say sort('s', 'D') show()
call fill 'pear apple fig banana cherry'
say sort('s.', 'A 2 3') show() s.sortorder.1
call fill 'pear apple fig banana cherry'
say sort('s.', 'D 2-3') show()
call fill 'pear apple fig banana cherry'
say sort('s.', '3 *') show()
call fill 'pear apple fig banana cherry'
say sort('s.', , 2, 4) show() s.sortorder.2 s.sortorder.3 s.sortorder.4
call fill 'pear apple fig banana cherry'
say sort('s.', , 4, 99) show()
call fill 'pear apple fig banana cherry'
say sort('s.', , 0, 2) show()
/* equal keys keep their order */
call fill 'b2 a1 b1 a2 a3'
say sort('s.', '1 1') show() sort('s.', 'D 1 1') show()
call fill ''
say sort('s.') show()
/* numbers compare as text */
call fill '10 9 100 1'
say sort('s.') show()
exit
fill: parse arg list
  drop s.
  s.0 = words(list)
  do i = 1 to s.0; s.i = word(list, i); end
  return
show: t = ''
  do i = 1 to s.0; t = t s.i; end
  return '->' strip(t)
