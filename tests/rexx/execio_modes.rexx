/* EXECIO reading and writing files, stems, variables and the data stack:
   DISKR, DISKW, DISKI, DISKD and their options, and the positions EXECIO
   shares with LINEIN and LINEOUT */
call make_temp_dir
'printf "alpha one\nbeta two\ngamma three\ndelta four\nepsilon five\n" >g.txt'

say '-- DISKR to the stack, FIFO and LIFO'
'EXECIO 2 DISKR g txt (FINIS'
say 'rc' rc 'queued' queued() ':' lines()
do queued(); parse pull l; say '  ' l; end
'EXECIO 2 DISKR g txt (LIFO FINIS'
say 'lifo rc' rc
do queued(); parse pull l; say '  ' l; end
'EXECIO 2 DISKR g txt 2 (FIFO FINIS'
say 'from line 2 rc' rc
do queued(); parse pull l; say '  ' l; end

say '-- counts: 0, short reads, LINENUM'
'EXECIO 0 DISKR g txt (STEM z. FINIS'
say 'count 0 rc' rc 'z.0' z.0
'EXECIO 9 DISKR g txt (STEM s. FINIS'
say 'more than there is rc' rc 's.0' s.0 s.5
'EXECIO 2 DISKR g txt (STEM s. LINENUM 4 FINIS'
say 'linenum 4 rc' rc s.0 s.1 '/' s.2

say '-- without FINIS the position carries over, also to LINEIN'
'EXECIO 1 DISKR g txt (VAR v'
say 'first' rc v
'EXECIO 1 DISKR g txt (VAR v'
say 'second' rc v
say 'linein goes on:' linein('g.txt')
'EXECIO 1 DISKR g txt (VAR v'
say 'execio goes on after linein:' rc v
call linein 'g.txt', 1, 0
'EXECIO * DISKR g txt (STEM all.'
say 'after linein positioned at 1:' rc all.0
'EXECIO 1 DISKR g txt (VAR v FINIS'
say 'at the end: rc' rc
'EXECIO * DISKR g txt (STEM all. FINIS'
say 'finis closed it, reading starts again at 1: rc' rc all.0

say '-- FIND, LOCATE, AVOID with ZONE'
'EXECIO * DISKR g txt (FIND /gamma/ STEM f. FINIS'
say 'find rc' rc f.0 f.1
'EXECIO * DISKR g txt (FIND /three/ STEM f. FINIS'
say 'find looks at the start of the zone: rc' rc f.0
'EXECIO * DISKR g txt (FIND /three/ ZONE 7 * STEM f. FINIS'
say 'with zone 7 *: rc' rc f.0 f.1
'EXECIO * DISKR g txt (LOCATE /four/ STEM f. FINIS'
say 'locate rc' rc f.0 f.1
'EXECIO * DISKR g txt (LOCATE /a/ ZONE 1 1 STEM f. FINIS'
say 'locate in column 1 only: rc' rc f.0 f.1
'EXECIO * DISKR g txt (AVOID /a/ STEM f. FINIS'
say 'avoid a: rc' rc f.0 f.1
'EXECIO * DISKR g txt (AVOID "e" ZONE 1 2 STEM f. FINIS'
say 'avoid e in columns 1-2: rc' rc f.0 f.1
'EXECIO 2 DISKR g txt (LOCATE /delta/ STEM f. FINIS'
say 'target beyond the count: rc' rc f.0
'EXECIO 9 DISKR g txt (LOCATE /beta/ STEM f. FINIS'
say 'target before the count is done: rc' rc f.0 f.1
'EXECIO * DISKR g txt (LOCATE /beta/ FINIS'
say 'found line to the stack: rc' rc queued()
parse pull l; say '  ' l

say '-- MARGINS, STRIP, CASE, SKIP'
'EXECIO * DISKR g txt (MARGINS 1 5 CASE U STEM m. FINIS'
say 'margins 1 5 upper: rc' rc m.0 m.1 m.5
'EXECIO 2 DISKR g txt (MARGINS 7 * STEM m. FINIS'
say 'margins 7 *: [' || m.1 || '] [' || m.2 || ']'
'EXECIO 2 DISKR g txt (MARGINS 50 60 STEM m. FINIS'
say 'margins past the end: [' || m.1 || ']'
'printf "blanks   \n" >b.txt'
'EXECIO 1 DISKR b txt (VAR k FINIS'
'EXECIO 1 DISKR b txt (VAR ks STRIP FINIS'
say 'strip: [' || k || '] [' || ks || ']'
'EXECIO 3 DISKR g txt (SKIP'
say 'skip rc' rc 'queued' queued()
'EXECIO 1 DISKR g txt (VAR v FINIS'
say 'after skipping 3:' v

say '-- DISKW from a stem, a variable, STRING and the stack'
w.1 = 'w one'; w.2 = 'w two'; w.3 = 'w three'; w.0 = 2
'EXECIO * DISKW new txt (STEM w. FINIS'
say 'stem * writes w.0 lines: rc' rc
'EXECIO 3 DISKW new txt (STEM w. FINIS'
say 'a count takes that many: rc' rc
one = 'from a variable'
'EXECIO 1 DISKW new txt (VAR one FINIS'
'EXECIO 1 DISKW new txt (FINIS STRING from  STRING  '
queue 'q one'; queue 'q two'; queue ''; queue 'stays'
'EXECIO * DISKW new txt (FINIS'
say 'from the stack up to a null line: rc' rc 'left' queued()
pull l; say '  ' l
push 'pushed'
'EXECIO 1 DISKW new txt (FINIS'
call show 'new.txt'

say '-- DISKW at a line replaces it; DISKI inserts before it'
'EXECIO 1 DISKW new txt 2 (FINIS STRING TWO'
'EXECIO 1 DISKI new txt 1 (FINIS STRING zero'
i.1 = 'i1'; i.2 = 'i2'; i.0 = 2
'EXECIO * DISKI new txt 4 (STEM i. FINIS'
say 'diski rc' rc
call show 'new.txt'
'EXECIO 1 DISKW new txt 14 (FINIS STRING appended'
say 'the line after the last appends: rc' rc
'EXECIO 1 DISKI new txt 16 (FINIS STRING x'
say 'past that: rc' rc

say '-- RECFM F pads and cuts to LRECL'
r.1 = 'short'; r.2 = 'a much longer line'; r.0 = 2
'EXECIO * DISKW fixed txt (STEM r. RECFM F LRECL 8 FINIS'
call show 'fixed.txt'

say '-- DISKD'
'EXECIO 2 DISKD new txt 3 (FINIS'
say 'delete 2 from line 3: rc' rc
'EXECIO 99 DISKD new txt 10 (FINIS'
say 'more than there is: rc' rc
'EXECIO * DISKD new txt 9 (FINIS'
say 'to the end: rc' rc
call show 'new.txt'
'EXECIO 1 DISKD new txt 9 (FINIS'
say 'past the end: rc' rc

say '-- a bad stem count writes nothing'
w.0 = 'many'
'EXECIO * DISKW new txt (STEM w. FINIS'
say 'rc' rc
call show 'new.txt'

say '-- a file changed by a command between two EXECIO reads'
'EXECIO 1 DISKR g txt (VAR v'
'printf "zeta six\n" >>g.txt'
'EXECIO 1 DISKR g txt (VAR v'
say 'rescanned, the position is after its end: rc' rc
'EXECIO 1 DISKR g txt 6 (VAR v FINIS'
say 'line 6:' v

say '-- a file removed between two EXECIO commands'
'EXECIO 1 DISKR g txt (VAR v'
'rm g.txt'
'EXECIO 1 DISKR g txt (VAR v'
say 'reading it: rc' rc
'EXECIO 1 DISKW g txt (STRING made again'
say 'writing makes it again: rc' rc
'EXECIO * DISKR g txt 1 (STEM v. FINIS'
say 'rc' rc v.0 v.1

say '-- DISKW with a count takes console lines when the stack runs out'
queue 'stacked'
'EXECIO 3 DISKW con txt (FINIS'
say 'rc' rc
'EXECIO 2 DISKW con txt (FINIS'
say 'at the end of the console input: rc' rc
call show 'con.txt'

call remove_temp_dir
exit

show: procedure
  parse arg name
  'EXECIO * DISKR' name '(STEM l. FINIS'
  do i = 1 to l.0
    say '  ' i '[' || l.i || ']'
  end
  return

make_temp_dir:
  do until rc = 0
    tmp = '/tmp/tolma_test_' || random(1, 99999) || '_' || time('S')
    'mkdir' tmp '2>/dev/null'
  end
  cd tmp
  return

remove_temp_dir:
  cd '/'
  'rm -rf' tmp
  return
