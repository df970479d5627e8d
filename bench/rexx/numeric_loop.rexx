/* numeric loop: arithmetic on simple variables */
total = 0
do i = 1 to 3000000
  total = total + (i // 7) * 2 - 1
end
say total
