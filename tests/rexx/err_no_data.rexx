/* a function must return a value */
say f()
exit
f: return
