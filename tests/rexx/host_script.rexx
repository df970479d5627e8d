/* SCRIPT runs a file's text through /bin/sh; ShellExecute starts without waiting.
   Neither exists in Regina. Files are made in the working directory (the runner's
   temporary directory). */
call lineout 'job.sh', 'echo "script says hi"'
call lineout 'job.sh', 'n=3; echo "n is $n"'
call lineout 'job.sh', 'echo "to stderr" >&2'
call lineout 'job.sh', 'exit 4'
call lineout 'job.sh'
say '-- SCRIPT: the exit status; -1 after the message when the file cannot be read'
say 'rc' script('job.sh')
say 'rc' script('missing.sh')
'mkdir adir'
say 'rc' script('adir')
call lineout 'empty.sh', ''
call lineout 'empty.sh'
say 'rc' script('empty.sh')
say '-- ShellExecute: a program runs with its parameters, not waited for'
say ShellExecute('open', 'sh', '-c "echo started > s.tmp; mv s.tmp started.txt"')
call wait_for 'started.txt'
say linein('started.txt', 1)
say ShellExecute(, 'sh', '-c "pwd > w.tmp; mv w.tmp where.txt"', 'adir')
call wait_for 'adir/where.txt'
say (linein('adir/where.txt', 1) = getcwd()'/adir')
say '-- files go to xdg-open (a stand-in here, first on PATH)'
/* written by the shell: a file the stream table holds open could not be run */
'printf ''#!/bin/sh\necho "opened $1" >> opened.txt\n'' > xdg-open; chmod +x xdg-open'
call lineout 'doc.txt', 'a document'
call lineout 'doc.txt'
call setenv 'PATH', getcwd()':'getenv('PATH')
say ShellExecute('open', 'doc.txt')
call wait_lines 1
say ShellExecute('Explore', 'adir')
call wait_lines 2
say ShellExecute('', 'https://example.org/x y')
call wait_lines 3
do i = 1 to o.0; say o.i; end
say '-- failures: 2 no such file, 3 no such directory, 31 an unknown verb'
say ShellExecute('open', 'missing.txt') ShellExecute('open', 'doc.txt', , 'nodir') ShellExecute('print', 'doc.txt')
say '-- no xdg-open: 31'
call setenv 'PATH', '/usr/bin:/bin'
say ShellExecute('open', 'doc.txt')
exit

/* waits (up to 10 seconds) for the stand-in xdg-open to have written n lines */
wait_lines:
  o.0 = 0 /* SysFileSearch leaves the stem alone when the file is not there yet */
  do 100 until o.0 >= arg(1)
    call SysSleep 0.1
    call SysFileSearch '', 'opened.txt', 'o.'
  end
  return

/* waits (up to 10 seconds) for a file that a started program makes (it writes
   another file and renames it, so the file is whole once it is there) */
wait_for: procedure
  parse arg name
  do 100 while \state(name, 'E')
    call SysSleep 0.1
  end
  call SysSleep 0.1
  return
