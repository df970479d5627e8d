select
  when x > 1 then nop
  when y then { say 1; say 2 }
  otherwise say x \y
end
parse upper value "a b" with x . y +3 (z)
call foo 1, , 3
address sh "ls" x
address (e)
