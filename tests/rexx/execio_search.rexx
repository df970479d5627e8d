/* the file search of EXECIO: with no file mode or "*", the current
   directory first, then the directories of XPATH in order; a file mode
   that is a directory names the place; writers create where they are told.
   Runs in the test's own scratch directory, with XPATH set to its xp1 and
   xp2 (and one missing directory before them). */
'mkdir xp1 xp2'
'printf "from xp1\n" >xp1/both.dat'
'printf "from xp2\n" >xp2/both.dat'
'printf "only in xp2\n" >xp2/second.dat'
'EXECIO 1 DISKR both dat (VAR v FINIS'
say 'both: rc' rc v
'EXECIO 1 DISKR second dat * (VAR v FINIS'
say 'second with "*": rc' rc v
'EXECIO 1 DISKR both dat xp2 (VAR v FINIS'
say 'both in xp2 by file mode: rc' rc v
'printf "here\n" >both.dat'
'EXECIO 1 DISKR both dat (VAR v FINIS'
say 'the current directory comes first: rc' rc v
'EXECIO 1 DISKR nowhere dat (VAR v FINIS'
say 'nowhere: rc' rc
'EXECIO 1 DISKR second dat xp1 (VAR v FINIS'
say 'not in the directory named: rc' rc
'EXECIO 1 DISKW second dat (FINIS STRING added'
say 'a writer finds the file on the path and appends: rc' rc
'EXECIO * DISKR second dat (STEM s. FINIS'
say '  ' s.0 s.1 '/' s.2
'EXECIO 1 DISKW fresh dat (FINIS STRING new'
'EXECIO 1 DISKW fresh dat xp1 (FINIS STRING new in xp1'
'ls fresh.dat xp1/fresh.dat'
'cat xp1/fresh.dat'
'EXECIO 1 DISKR fresh (VAR v FINIS'
say 'no file type: the name alone: rc' rc
'EXECIO 1 DISKR fresh.dat (VAR v FINIS'
say 'rc' rc v
