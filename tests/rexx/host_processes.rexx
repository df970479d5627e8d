/* FORK, WAITPID, KILL, QPID, STILL_ACTIVE, GETPID, SLEEP, USLEEP */
h = fork('exit 4')
say 'fork exit 4 ->' waitpid(h)
h = fork('exec sleep 100')
say 'running:' (waitpid(h, 0) = still_active())
say 'qpid is the handle:' (qpid(h) = h)
say 'kill sent:' kill(h)
say 'killed ->' waitpid(h)
h = fork('exec sleep 100')
call kill h, 9
say 'kill -9 ->' waitpid(h)
say 'still_active' still_active()
say 'getpid is a number:' datatype(getpid(), 'W')
say 'sleep' sleep(0) 'usleep' usleep(1000)
say 'fork of a missing program ->' fork('no_such_program_hostenv')
signal on syntax
say waitpid(h)
exit
syntax:
  say 'syntax' rc 'line' sigl
  call sleep 'soon'
