/* Word and string functions on strings around 8, 16 and 240 bytes, with
   tabs, binary bytes and runs of blanks where groups of bytes meet */
tab = '09'x
a15 = 'abcdefghijklmno'
s = ' ' a15 'p' || tab || 'q' copies(' ', 13) 'rs' || tab || tab || 'tuvwxyz0123456789AB end '
say words(s) length(s)
do k = 1 to words(s) + 1
  say k '['word(s, k)']' wordindex(s, k) wordlength(s, k)
end
say '['space(s)']'
say '['space(s, 0)']'
say '['space(s, 2, '.')']'
say '['subword(s, 3, 3)']'
say '['delword(s, 2, 4)']'
long = copies('ab  cd' || tab, 40)
say words(long) length(space(long)) length(space(long, 0)) wordindex(long, 80) word(long, 79)
say translate(s, 'ABC', 'abc') '|' translate(s) '|' translate(s, , tab, '#')
say translate('a' || 'e1'x || 'Zz{' || '7f80'x, 'xyz', 'aZ{') == 'x' || 'e1'x || 'yzz' || '7f80'x
say upper(a15 || 'é') reverse(a15 || '0123456789')
say pos('yz0', s) pos('end', s) pos('end ', s) pos('nope', s) pos('AB', s, 50) pos('a', s, 300)
say changestr('ab', copies('xab', 9), '-') copies('xy', 9) length(copies('abc', 90))
