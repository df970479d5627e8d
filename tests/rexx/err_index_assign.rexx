/* indexed assignment checks its indices */
s = 'hello'
s[3:2] = 'x'
