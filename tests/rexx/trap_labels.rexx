/* SYNTAX traps taken again and again, to labels that change */
count. = 0
i = 0
again:
i = i + 1
if i > 6 then signal done
if i // 2 then signal on syntax name odd
else signal on syntax name even
x = i / 0
say 'never'
odd:
count.odd = count.odd + 1
say 'odd' i rc sigl condition('C') condition('D') condition('I') condition('S')
signal again
even:
count.even = count.even + 1
say 'even' i rc sigl condition('D')
signal again
done:
say 'odd' count.odd 'even' count.even
/* the description follows the condition taken last */
signal on novalue
say unset_one
novalue:
say 'novalue' condition('C') condition('D')
signal on syntax
say 1 + 'a'
syntax:
say 'syntax' condition('D') rc
/* a trap inside a procedure sets RC and SIGL there */
rc = 'outer'
call inner
say 'after inner rc' rc
/* SIGNAL to a label by its name in different spellings */
j = 0
loop:
j = j + 1
if j < 3 then signal Loop
say 'loop ended' j
signal 'LOOP2'
say 'never'
LOOP2:
say 'quoted label found'
/* SIGNAL within INTERPRET strings run again and again */
do k = 1 to 3
  interpret 'signal inside; say "never"; inside: say "inside" k'
end
n = 0
do k = 1 to 2
  interpret 'if k = 2 then signal outside; say "interpreted" k'
end
say 'never'
outside:
say 'outside' k
n = n + 1
if n < 3 then signal outside
signal on syntax name nowhere
y = 1 / 0
say 'never'
exit
inner: procedure
signal on syntax name inner_trap
q = 'a' * 2
return
inner_trap:
say 'inner trap rc' rc 'sigl' sigl
return
