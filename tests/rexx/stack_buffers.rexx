/* the data queue: order of PUSH and QUEUE, buffers and their commands */
push 'p1'; push 'p2'; queue 'q1'; queue 'q2'
say queued()
do while queued() > 0
  parse pull line
  say 'got' line
end
queue 'outer'
'MAKEBUF'
say 'makebuf rc' rc queued()
queue 'inner 1'; queue 'inner 2'
'SENTRIES'
say 'sentries rc' rc
parse pull line; say line
'DROPBUF'
say 'dropbuf rc' rc queued()
parse pull line; say line
'makebuf'; 'makebuf'
say 'two buffers rc' rc
push 'x'; push 'y'
'DESBUF'
say 'desbuf rc' rc queued()
'DROPBUF'; say 'dropbuf rc' rc
'DROPBUF'; say 'dropbuf rc' rc
'DROPBUF'; say 'dropbuf with no buffer rc' rc
'DROPBUF x'; say 'dropbuf x rc' rc
'MAKEBUF'; 'MAKEBUF'; 'MAKEBUF'
queue 'in 3'
'DROPBUF 2'; say 'dropbuf 2 rc' rc queued()
parse pull line; say '['line']'
'DROPBUF'; say 'dropbuf rc' rc
pull upper; say 'at end of input [' || upper || ']'
