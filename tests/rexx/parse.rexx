/* PARSE: sources and the template algorithm */
parse value 'a b c' with v1 . z
say '['v1']['z']'
parse value 'a   b  c ' with v1 v2
say '['v1']['v2']'
parse value '  a   b  c ' with v1 v2 v3 v4
say '['v1']['v2']['v3']['v4']'
parse value 'abcdef' with 1 v1 1 v2
say '['v1']['v2']'
parse value 'abcdef' with 3 v1 +2 v2 -3 v3
say '['v1']['v2']['v3']'
parse value 'a,b,c' with v1 ',' v2 ',' v3
say '['v1']['v2']['v3']'
parse value 'a,b' with v1 'q' v2
say '['v1']['v2']'
parse value 'hello world' with 'o' v1 'o' v2
say '['v1']['v2']'
parse value 'abcdef' with 4 v1 2 v2
say '['v1']['v2']'
sep = '-'
parse value '2024-11-14' with yy (sep) mm (sep) dd
say yy mm dd
w = 3
parse value 'abcdefgh' with v1 =(w) v2 +(w) v3
say '['v1']['v2']['v3']'
parse value 'key=value' with k '=' v
say k v
parse upper value 'Mixed Text' with u
say u
parse lower value 'Mixed Text' with u
say u
s = 'one two three'
parse var s first rest
say '['first']['rest']'
parse var s . . last
say last
parse value 'x' with v1 v2 v3
say '['v1']['v2']['v3']'
parse value '' with v1
say '['v1']'
call sub 'first arg', 'second arg', , 'fourth'
parse numeric num; say num
parse version ver; say word(ver, 1) word(ver, 2)
parse source src; say word(src, 1) word(src, 2) word(src, 3) word(src, 4)
arg upper_arg
say '['upper_arg']'
exit
sub:
  parse arg p1, p2 q2, p3, p4
  say '['p1']['p2']['q2']['p3']['p4']'
  arg a1
  say a1
  return
