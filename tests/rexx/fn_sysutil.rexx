/* the cheap system functions: releases, SysSleep, links and the Sys* file family.
   Compared with Regina's REXXUTIL (run `regina` with libregutil.so on LD_LIBRARY_PATH and
   RxFuncAdd 'SysLoadFuncs','regutil','SysLoadFuncs'): lines marked "Regina:" differ
   there, by design; the other Sys* lines agree. Files are made in the working directory
   (the runner's temporary directory). */
home = getcwd()
say ReleaseVOREN() ReleaseTOLMA() releasevoren() RELEASETOLMA()
say '-- SysSleep takes fractions; 0 returns at once'
say SysSleep(0) SysSleep(0.05) SysSleep('1E-3')
say '-- LN: hard by default, symbolic with S; READLINK'
call lineout 'a.txt', 'the text'
call lineout 'a.txt'
say ln('a.txt', 'hard.txt') linein('hard.txt') '['readlink('hard.txt')']'
say ln('a.txt', 'soft.txt', 's') readlink('soft.txt') linein('soft.txt', 1)
say ln('a.txt', 'soft.txt', 'S') ln('missing', 'h2.txt') ln('', 'x') '['readlink('missing')']' '['readlink('')']'
say ln('dangling-target', 'dangle', 'S') readlink('dangle') state('dangle', 'E')
say '-- SysMkDir / SysRmDir / SysFileDelete: REXXUTIL return codes'
/* 0 done, 2 file not found, 3 path not found, 5 access denied, 16 current directory, 87 invalid */
/* Regina: 0 5 2 2 (every ENOENT is 2 there; an empty name too) */
say SysMkDir('d') SysMkDir('d') SysMkDir('no/such/parent') SysMkDir('')
say SysMkDir(copies('a', 300)) SysFileDelete(copies('a', 300))
call lineout 'd/f.txt', 'x'
call lineout 'd/f.txt'
/* Regina: 1 2 2 2 2 (1 for a directory not empty) */
say SysRmDir('d') SysRmDir('gone') SysRmDir('no/such/dir') SysRmDir('a.txt') SysRmDir('')
/* Regina: 0 2 2 0 2 (it removes the empty directory d) */
say SysFileDelete('d/f.txt') SysFileDelete('d/f.txt') SysFileDelete('no/such/f') SysFileDelete('d') SysFileDelete('')
/* Regina refuses "." with 87 and removes the current directory given by its full name */
say chdir('d') SysRmDir('.') SysRmDir(home'/d') chdir(home) SysRmDir('d') SysRmDir('d')
say '-- SysSearchPath: the full name, or ""'
/* Regina's third argument is an option letter (C or N), not 0 or 1 */
call SysMkDir 'p1'; call SysMkDir 'p2'
call lineout 'p2/tool', 'x'; call lineout 'p2/tool'
call lineout 'tool', 'y'; call lineout 'tool'
call setenv 'TOLMA_SEARCH', home'/p1::'home'/p2'
say (SysSearchPath('TOLMA_SEARCH', 'tool') = home'/tool') (SysSearchPath('TOLMA_SEARCH', 'tool', 1) = home'/tool')
say (SysSearchPath('TOLMA_SEARCH', 'tool', 0) = home'/p2/tool') '['SysSearchPath('TOLMA_SEARCH', 'none')']'
say '['SysSearchPath('TOLMA_UNSET_VARIABLE', 'none', 0)']' '['SysSearchPath('TOLMA_SEARCH', 'p1', 0)']' '['SysSearchPath('', 'tool', 0)']'
say '-- SysTempFileName: each filler a digit, no file of that name'
n = SysTempFileName('tmp???.txt')
say length(n) left(n, 3) right(n, 4) datatype(substr(n, 4, 3), 'W') state(n, 'E')
say length(SysTempFileName('x##y#', '#')) verify(SysTempFileName('x##y#', '#'), 'xy0123456789')
say SysTempFileName('fixed') '['SysTempFileName('a.txt')']'
/* with one filler all ten names are tried: when they all exist the answer is "" */
do i = 0 to 9; call lineout 'f'i, 'x'; call lineout 'f'i; end
say '['SysTempFileName('f?')']'
call SysFileDelete 'f7'
say SysTempFileName('f?')
say '-- SysFileSearch: lines holding the target into a stem'
call lineout 'text.txt', 'Alpha one'
call lineout 'text.txt', 'beta'
call lineout 'text.txt', 'ALPHA two'
call lineout 'text.txt', 'gamma alpha'
call lineout 'text.txt'
say SysFileSearch('alpha', 'text.txt', 'hit.') hit.0 hit.1 '/' hit.2 '/' hit.3
say SysFileSearch('alpha', 'text.txt', 'hit', 'C') hit.0 hit.1
/* Regina: "3:ALPHA two" for the line with its number */
say SysFileSearch('ALPHA', 'text.txt', 'hit.', 'cn') hit.0 hit.1
say SysFileSearch('Alpha', 'text.txt', 'num.', 'N') num.0 num.1 '/' num.2 '/' num.3
say SysFileSearch('nothing', 'text.txt', 'hit.') hit.0 SysFileSearch('x', 'missing.txt', 'hit.') SysFileSearch('x', 'p1', 'hit.')
say SysFileSearch('', 'text.txt', 'all.') all.0
say '-- SysCls, CLS, CLEAR: nothing when standard output is no terminal (Regina clears anyway)'
say '['SysCls()']' '['cls()']' '['clear()']'
