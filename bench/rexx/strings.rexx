/* string building and string functions */
s = ''
do i = 1 to 800000
  s = s || right(i, 6, '0')
  if length(s) > 6000 then s = substr(s, 3001)
end
t = 0
do i = 1 to 800000
  w = 'alpha beta gamma delta' i
  t = t + length(translate(reverse(w))) + words(w) + pos('gamma', w)
end
say length(s) t
