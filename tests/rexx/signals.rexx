/* SIGNAL, SIGNAL VALUE and the condition traps */
say 'start'
do i = 1 to 3
  if i = 2 then signal out_of_loop
end
out_of_loop:
say 'left the loop at' i 'sigl' sigl
target = 'by_value'
signal value target
say 'never'
by_value:
say 'arrived by value'
signal on syntax
x = 1 / 0
say 'never'
syntax:
say 'syntax trap rc' rc 'sigl' sigl condition('C') '-' condition('D')
/* the trap fires once: set it again for the next error */
signal on syntax name second_trap
call faulty
say 'never'
second_trap:
say 'second trap rc' rc 'line' sigl
signal on novalue
say 'value of unset:' unset_variable
novalue:
say 'novalue trap sigl' sigl condition('D')
signal off novalue
say 'no trap now:' unset_variable
call on novalue name nv_handler
say 'called handler, then:' other_unset
call off novalue
call on error
'exit 3'
say 'after error rc' rc
call on failure
'exit 0'
say 'rc zero' rc
signal on error name err_signal
'exit 5'
say 'never'
err_signal:
say 'signalled on error rc' rc condition('C')
exit
faulty:
  return 'a' + 1
nv_handler:
  say 'handler for' condition('D') 'sigl' sigl
  return
error:
  say 'error handler rc' rc 'description' condition('D')
  return
