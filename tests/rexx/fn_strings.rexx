/* string functions: pieces, padding, search and translation */
s = 'The quick brown fox'
say '['substr(s, 5, 5)']' '['substr('abc', 2, 5, '*')']' '['substr('abc', 4)']'
say '['left('abc', 5)']' '['left('abcdef', 3)']' '['left('ab', 4, '.')']'
say '['right('abc', 5)']' '['right('abcdef', 3)']' '['right('7', 3, '0')']'
say '['center('ab', 6)']' '['centre('abc', 8, '-')']' '['center('abcdef', 3)']'
say length('') length('hello') length(s)
say reverse('abc') '['reverse('')']'
say copies('ab', 3) '['copies('x', 0)']'
say pos('o', s) pos('o', s, 14) pos('z', s) lastpos('o', s) lastpos('o', s, 13)
say '['strip('  a b  ')']' '['strip('  a b  ', 'L')']' '['strip('  a b  ', 't')']' '['strip('xxaxx', , 'x')']'
say insert('123', 'abc', 1) insert('x', 'ab', 4, 2, '-') insert('q', 'ab')
say overlay('XY', 'abcdef', 3) overlay('Z', 'ab', 4, 1, '.')
say delstr('abcdef', 3) delstr('abcdef', 2, 2) delstr('abc', 5)
say translate('abc') translate('abcabc', 'xy', 'ab') translate('abc', , 'b', '#')
say verify('123', '0123456789') verify('12a4', '0123456789') verify('abc', 'b', 'M')
say compare('abc', 'abc') compare('abc', 'abd') compare('ab ', 'ab') compare('ab', 'ab--', '-')
say abbrev('PRINT', 'PRI') abbrev('PRINT', 'PRJ') abbrev('PRINT', 'P', 2) abbrev('PRINT', '')
say xrange('a', 'e') c2x(xrange('fe'x, '01'x))
say countstr('ab', 'abcabcab') changestr('ab', 'abcab', 'X')
