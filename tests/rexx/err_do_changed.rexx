/* the control variable is read again after the body */
do i = 1 to 3
  i = 'oops'
end
