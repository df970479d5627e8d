/* Every form of DO, with LEAVE and ITERATE */
o = ''
do i = 1 to 3; o = o i' '; end; say strip(o); o = ''
do i = 3 to 1; say 'never'; end
do i = 10 to 1 by -3; o = o i' '; end; say strip(o); o = ''
do i = 1 to 3 by 0 for 2; o = o i' '; end; say strip(o); o = ''
do i = 0.5 to 2 by 0.5; o = o i' '; end; say strip(o); o = ''
do i = '01' to 2; o = o i' '; end; say strip(o); o = ''
do i = 1 for 3; o = o i' '; end; say strip(o); o = ''
do i = 1 by 2 for 3; o = o i' '; end; say strip(o); o = ''
do i = 1 to 10 while i < 4; o = o i' '; end; say strip(o); o = ''
do i = 1 to 10 until i >= 2; o = o i' '; end; say strip(o); o = ''
say 'after loop i =' i
do 3; o = o 'x'; end; say strip(o); o = ''
do 0; say 'never'; end
n = 0
do forever; n = n + 1; if n = 4 then leave; end; say 'forever ran' n
n = 0
do while n < 5; n = n + 2; end; say 'while' n
n = 0
do until n > 5; n = n + 2; end; say 'until' n
do 2 until 1; say 'count with until'; end
do w in 'alpha  beta' '09'x 'gamma'; o = o '<'w'>'; end; say strip(o); o = ''
do w in ''; say 'never'; end
/* the body may change the control variable */
do i = 1 to 10; o = o i' '; i = i + 3; end; say strip(o); o = ''
/* LEAVE and ITERATE with and without names */
do i = 1 to 3
  do j = 1 to 3
    if j = 2 then iterate i
    if i = 3 then leave i
    say 'i' i 'j' j
  end
end
say 'left with' i j
do i = 1 to 5
  if i // 2 = 0 then iterate
  if i = 5 then leave
  o = o i' '
end
say strip(o); o = ''
/* simple DO groups and nesting */
if 1 then do
  say 'group one'
  say 'group two'
end
do k = 1 to 2; do m = 1 to 2; o = o k || m' '; end m; end k
say strip(o); o = ''
