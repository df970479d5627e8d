/* SIGNAL ON SYNTAX: an error trapped again and again */
caught = 0
i = 0
again:
signal on syntax
do while i < 600000
  i = i + 1
  if i // 2 = 0 then x = i / 0
end
say caught
exit
syntax:
caught = caught + 1
signal again
