/* TRACE output formats */
trace r
x = 1 + 2
say x
trace i
y = x * 2 + length('ab')
z = \(x = 3) | 0
parse value 'a b' with p . 
s = 'abcdef'
t = s[2:3]
trace l
call sub
trace o
say 'quiet'
trace a
do i = 1 to 2
  nop
end
trace value -2
say 'suppressed one'
say 'suppressed two'
say 'traced again'
trace n
say trace()
exit
sub:
  return
