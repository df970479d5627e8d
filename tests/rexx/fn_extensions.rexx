/* string extensions (none of them in Regina, except that Regina has an INDEX of its own) */
/* C2O: each byte as three octal digits */
say '['c2o('')']' c2o('a') c2o('00ff0a'x) c2o(7)
/* INDEX is POS under an older name: needle first, haystack second (Regina's INDEX takes the
   haystack first); a fourth argument 1 ignores the case of ASCII letters */
say index('c', 'abcabc') index('c', 'abcabc', 4) index('x', 'abc') index('', 'abc') index('B', 'abc', 1, 1) index('B', 'abc', 1, 0)
say pos('B', 'abc', 1, 1) pos('b', 'ABC', 3, 1) pos('ab', 'xAbab', , 1) '['pos('a', 'b', 1, 0)']'
/* CHANGE(string, old, new [, case]): every occurrence, left to right, not overlapping */
say change('aXbXc', 'X', '--') change('abc', '', 'x') change('aAa', 'a', 'b', 1) change('aAa', 'a', 'b', 0) '['change('', 'a', 'b')']' change('aaa', 'aa', 'a')
say change('abc', 'abc', '') '['change('abc', 'abc', '')']' change('a.b', '.', '..') change(1001, 0, 9) change('xXx', 'X', 'y', 1)
/* RCHANGE: regular expressions of ed and sed; & and \0 the match, \1 to \9 the groups */
say rchange('abc123def', '[0-9]\+', '#') rchange('abc123def', '[0-9]+', '#') rchange('abcabc', 'b', '<&>') rchange('hello world', '\(o\)', '[\1]')
say rchange('ABC', 'b', 'x', 1) rchange('ABC', 'b', 'x', 0) rchange('abc', '^', '>') rchange('abc', '$', '<') rchange('aaa', 'a*', 'X') rchange('a.b', '.', '-') rchange('a.b', '\.', '-')
say rchange('x', 'y', 'z') '['rchange('', 'a', 'b')']' rchange('one two', '\<t', 'T') rchange('john smith', '\([a-z]*\) \([a-z]*\)', '\2, \1') rchange('abab', 'b', '\0\0')
say rchange('a1b22c333', '[[:digit:]]\{2,\}', '#') rchange('aXbxc', '[x]', '-', 1) rchange('path/to/file', '/', '\\')
/* an empty pattern is the previous one */
say rchange('banana', 'an', 'AN') rchange('canal', '', '_')
/* FIND(string, phrase) is WORDPOS(phrase, string) */
say find('a b c d', 'c d') find('a b c', 'x') find('a  b c', 'b   c') find('', 'a') find('a b', '') find('a b a b', 'a b')
/* UPPER and LOWER fold ASCII letters only; UPPERW capitalises every word, FWC the first letter */
say upper('abc xYz 1z') lower('ABC Xy 1Z') (upper('e9'x) = 'e9'x) (lower('C9'x) = 'C9'x) '['upper('')']' '['lower('')']'
say upperw('hELLO wORLD  x') '['upperw('')']' upperw('a-b c_d 1e') '['upperw('  ab  ')']'
say fwc('hello World') '['fwc('  abc')']' '['fwc('')']' fwc('1abc') fwc('ABC') fwc('x')
/* the environment of this interpreter */
say version() arch() linesize() externals()
