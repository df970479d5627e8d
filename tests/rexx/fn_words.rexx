/* word functions */
s = '  now is  the time  '
say words(s) words('') word(s, 3) '['word(s, 5)']'
say '['subword(s, 2)']' '['subword(s, 2, 2)']' '['subword(s, 9)']'
say wordindex(s, 1) wordindex(s, 3) wordindex(s, 7) wordlength(s, 4) wordlength(s, 8)
say wordpos('the time', s) wordpos('is the', s) wordpos('time', s, 5) wordpos('x', s)
say '['delword(s, 2, 2)']' '['delword('a b c', 2)']' '['delword('a b c', 5)']'
say '['space(s)']' '['space('a  b c', 2)']' '['space('a b  c', 0)']' '['space('a b', 1, '-')']'
t = 'a' || '09'x || 'b'
say words(t) word(t, 2)
