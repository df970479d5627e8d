/* the buffer commands under any ADDRESS, their return codes through RC and
   the ERROR trap, and PULL reading the console past saved buffers */
queue 'before any buffer'
'MAKEBUF'; say 'makebuf' rc
queue 'buffer 1'
'makebuf'; say 'makebuf' rc
say 'queued counts the current buffer only:' queued()
'SENTRIES'; say 'sentries' rc
'DROPBUF 5'; say 'dropbuf 5 with two buffers' rc 'queued' queued()
'DROPBUF 0'; say 'dropbuf 0' rc
'DROPBUF -1'; say 'dropbuf -1' rc
'DROPBUF 1.5'; say 'dropbuf 1.5' rc
'DROPBUF two'; say 'dropbuf two' rc
'DROPBUF 1'; say 'dropbuf 1 restores the first lines:' rc queued()
parse pull l; say '  ' l
'SENTRIES'; say 'sentries of an empty stack' rc

say '-- under another environment'
address sh
'MaKeBuF'; say 'makebuf under sh' rc
queue 'x'; queue 'y'
'  sentries'; say 'sentries with leading blanks' rc
'DESBUF'; say 'desbuf' rc queued()
'dropbuf'; say 'dropbuf' rc
address

say '-- PULL reads the console when the current buffer is empty'
queue 'saved line'
'MAKEBUF'
parse pull fromconsole
say 'pulled:' fromconsole '/ saved buffers untouched, queued' queued()
'DROPBUF'
say 'after dropbuf queued' queued()
parse pull l; say 'then:' l

say '-- QUEUE a, QUEUE b, PUSH c'
queue 'a'; queue 'b'; push 'c'
do queued(); pull l; say l; end

say '-- the return code raises ERROR like any command'
call on error
'MAKEBUF'
'DROPBUF 9'
'DROPBUF'
say 'queued' queued()
exit

error:
  say 'ERROR trap: rc' rc 'for' condition('D') 'from line' sigl
  return
