/* compound variables used as an array */
n = 1000000
do i = 1 to n
  a.i = i // 1000
end
sum = 0
do i = 1 to n
  sum = sum + a.i
end
do i = 1 to n by 2
  j = i + 1
  t = a.i; a.i = a.j; a.j = t
end
say sum a.1 a.n
