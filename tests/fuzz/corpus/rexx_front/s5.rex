do forever
  pull line
  if line = "" then leave
  queue line; push; return f(x)[2]
end
cd "/tmp"
arg a, b
parse var a b "=" c
