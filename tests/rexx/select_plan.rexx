/* SELECT over one variable's values, run again and again */
vals = '1 2 3 4 2.5 abc 1.0 01 -0 0 1E1 10 3'
do pass = 1 to 2
  out = ''
  do j = 1 to words(vals)
    k = word(vals, j)
    out = out classify(k)
  end
  say pass out
end
/* numbers made by arithmetic: whole ones, and halves */
do pass = 1 to 2
  out = ''
  do j = -1 to 11
    k = j
    if pass = 2 then k = j / 2
    out = out classify(k)
  end
  say pass out
end
/* blanks around a number; a number made by arithmetic */
do i = 1 to 4
  v = ' 'i' '
  w = i * 1.0
  select
    when v = 2 then say i 'v is two'
    when v = 3 then say i 'v is three'
    otherwise say i 'v is' v
  end
  select
    when w = 2 then say i 'w is two'
    otherwise say i 'w is' w
  end
end
/* WHENs on different variables, or with other operators: one by one */
a = 1; b = 2
do i = 1 to 3
  select
    when a = i then say i 'a'
    when b = i then say i 'b'
    otherwise say i 'neither'
  end
  select
    when i > 2 then say i 'greater'
    when i = 2 then say i 'equal'
    otherwise say i 'less'
  end
end
/* in a procedure, and traced */
call pick 2
call pick 5
trace r
do i = 1 to 2
  select
    when i = 1 then nop
    when i = 2 then nop
  end
end
trace o
/* no WHEN matches and there is no OTHERWISE */
do i = 1 to 3
  select
    when i = 1 then say 'first'
    when i = 2 then say 'second'
  end
end
exit
/* k and the name of its value; the WHENs compare one variable with whole numbers */
classify: procedure
parse arg k
select
  when k = 1 then return k'>one'
  when k = 2 then return k'>two'
  when k = 3 then return k'>three'
  when k = 1 then return k'>never'
  when k = 0 then return k'>zero'
  when k = 10 then return k'>ten'
  otherwise return k'>other'
end
pick: procedure
arg n
select
  when n = 1 then say 'pick one'
  when n = 2 then say 'pick two'
  otherwise say 'pick other' n
end
return
