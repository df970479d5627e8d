/* errors inside INTERPRET show the interpreted line */
x = 1
interpret 'y = x + 1; z = y / 0'
