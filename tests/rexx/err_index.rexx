/* indexed terms need positive whole numbers */
s = 'hello'
say s[2:3]
say s[0]
