/* Compounds with constant tails read again and again */
do pass = 1 to 2
  drop c.
  say pass 'unset:' c.0 c.x1
  c. = 5
  say pass 'default:' c.0 c.x1
  c.0 = c.0 + 1
  c.x1 = c.0 * 2
  say pass 'set:' c.0 c.x1
  drop c.0
  say pass 'dropped:' c.0 c.x1
  c. = 'new'
  say pass 'new default:' c.0 c.x1
  c.0 = 1; c.1.2 = 'a'
  call whole
  say pass 'after whole:' c.0 c.1.2
  call part
  say pass 'after part:' c.0 c.1.2
  call hidden
  say pass 'after hidden:' c.0
end
k = 0
do i = 1 to 10
  if i // 3 = 0 then k.0 = k.0 + 1
  else k.0 = i
end
say 'k.0' k.0
trace i
t.0 = 3
say t.0 + 1
trace o
exit
whole: procedure expose c.
c.0 = c.0 + 10
c.1.2 = c.1.2'b'
return
part: procedure expose c.0
c.0 = c.0 + 100
say '  part sees' c.0 c.1.2
return
hidden: procedure
say '  hidden sees' c.0
c.0 = 'local'
return
