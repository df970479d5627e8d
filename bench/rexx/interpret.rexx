/* INTERPRET of a few different strings in a loop */
n = 0
do i = 1 to 400000
  interpret 'n = n +' (i // 7)
  interpret 'x.' || (i // 10) '= i'
end
say n x.3
