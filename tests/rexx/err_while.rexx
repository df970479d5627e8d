/* WHILE needs 0 or 1 */
n = 1
do while n
  n = 'x'
end
