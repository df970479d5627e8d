/* word functions at their limits; the results agree with Regina REXX */
say words('') words('   ') words('a') words(' a  b ') words(12 34)
say '['word('', 1)']' '['word('a b', 3)']' word('a b c', 3) word('  x  ', 1) word('a b', 1.0)
say '['subword('', 1)']' '['subword('a b c', 1, 0)']' '['subword('a  b  c', 2, 1)']' '['subword(' a  b  c ', 1)']' '['subword('a b c', 2, 99)']' '['subword('a b c', 4, 1)']'
say wordindex('', 1) wordindex('a b', 3) wordindex('  a', 1) wordlength('', 1) wordlength('ab cde', 2) wordlength('ab', 2)
/* WORDPOS, DELWORD */
say wordpos('', 'a b') wordpos('a', '') wordpos('  b   c ', 'a b c d') wordpos('b c', 'a b c b c', 3) wordpos('b', 'a b', 3) wordpos('B', 'a b')
say '['delword('', 1)']' '['delword('a b c', 1)']' '['delword('a b c', 1, 0)']' '['delword('  a  b  c  ', 2, 1)']' '['delword('a b c ', 3)']' '['delword('a b', 2, 5)']'
/* SPACE, JUSTIFY */
say '['space('')']' '['space('   ')']' '['space(' a ')']' '['space('a b', 0)']' '['space('a  b  c', 3, '*')']'
say '['justify('', 5)']' '['justify('a b c', 9)']' '['justify('  a  b  ', 5)']' '['justify('a b c', 3)']' '['justify('abc def', 5)']' '['justify('a b', 6, '-')']'
say '['justify('one', 6)']' '['justify('a b c d', 10)']' '['justify('a b', 0)']'
/* a tab separates words like a blank, also for SPACE and JUSTIFY (Regina's SPACE keeps it) */
t = 'a'||'09'x||'b  c'
say '['space(t)']' '['space(t, 0)']' '['justify(t, 7)']' words(t) wordindex(t, 2) wordlength(t, 1)
