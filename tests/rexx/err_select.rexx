/* SELECT without a true WHEN and without OTHERWISE */
x = 5
select
  when x = 1 then say 'one'
  when x = 2 then say 'two'
end
