/* SELECT in a loop */
c. = 0
do i = 1 to 2500000
  k = i // 7
  select
    when k = 0 then c.0 = c.0 + 1
    when k = 1 then c.1 = c.1 + 1
    when k = 2 then c.2 = c.2 + 1
    when k = 3 then c.3 = c.3 + 1
    otherwise c.x = c.x + 1
  end
end
say c.0 c.1 c.2 c.3 c.x
