/* environment and Unix-style file functions (not in Regina). The ones that change something
   return 0, or the system error number when it failed (2: no such file, 17: it exists,
   20: not a directory, 21: a directory, 22: invalid, 39: directory not empty) */
home = getenv('HOME')
say (home = getcwd()) (getcwd() = getwd()) (getwd() = cwd()) '['getenv('TOLMA_UNSET_VARIABLE')']' '['getenv('')']' '['getenv('A=B')']'
say setenv('TOLMA_TEST', 'one two') getenv('TOLMA_TEST') setenv('TOLMA_TEST', '') '['getenv('TOLMA_TEST')']'
say putenv('TOLMA_TEST=x=y') getenv('TOLMA_TEST') unsetenv('TOLMA_TEST') '['getenv('TOLMA_TEST')']' unsetenv('TOLMA_TEST')
say setenv('', 'x') setenv('A=B', 'x') putenv('noequals') putenv('=x') unsetenv('')
/* a command started afterwards sees the variables */
call setenv 'TOLMA_SEEN', 'by the shell'
'echo "$TOLMA_SEEN"'
say (length(userid()) > 0) (userid() = cuserid()) (length(hostname()) > 0)
/* directories */
say mkdir('sub') mkdir('sub') mkdir('') mkdir('no/such/parent') chdir('sub') (getcwd() = home'/sub')
say chdir('..') (getcwd() = home) chdir('nowhere') chdir('') (getcwd() = home)
/* files: copy, move, remove */
call lineout 'a.txt', 'first line'
call lineout 'a.txt', 'second line'
call lineout 'a.txt'
say cp('a.txt', 'b.txt') linein('b.txt') lines('b.txt') cp('a.txt', 'a.txt') cp('./a.txt', 'a.txt') cp('missing', 'c.txt') cp('sub', 'c.txt')
say cp('a.txt', 'sub') linein('sub/a.txt') cp('a.txt', 'sub/') mv('b.txt', 'c.txt') state('b.txt', 'E') linein('c.txt')
say mv('c.txt', 'sub') state('sub/c.txt', 'E') state('c.txt', 'E') mv('missing', 'x') rename('sub/c.txt', 'd.txt') state('d.txt', 'F')
say linein('a.txt', 1) rmdir('sub') rm('sub') rm('sub/a.txt') rmdir('sub') rm('d.txt') del('a.txt') rm('a.txt')
say rmdir('sub') rm('') rmdir('') chdir(home) (getcwd() = home)
