/* EXECIO between files, stems, variables and the data queue */
out.1 = 'first line'
out.2 = 'second line   '
out.3 = 'third line'
out.0 = 3
'EXECIO * DISKW data txt (STEM out. FINIS'
say 'diskw rc' rc
'EXECIO * DISKR data txt (STEM in. FINIS'
say 'diskr rc' rc in.0
do i = 1 to in.0
  say i '['in.i']'
end
'EXECIO 2 DISKR data txt * 2 (STEM part. STRIP FINIS'
say 'from line 2 rc' rc part.0 '['part.1']' '['part.2']'
'EXECIO 5 DISKR data txt (STEM few. FINIS'
say 'few.3' few.3
say 'count past the end rc' rc few.0
'EXECIO 1 DISKR data txt * 3 (VAR one FINIS'
say 'var rc' rc '['one']'
'EXECIO * DISKR data txt (LOCATE /cond/ STEM hit. FINIS'
say 'locate rc' rc hit.0 '['hit.1']'
'EXECIO * DISKR data txt (FIND /zzz/ STEM none. FINIS'
say 'find missing rc' rc none.0
'EXECIO * DISKR data txt (LIFO FINIS'
say 'lifo rc' rc queued()
do while queued() > 0
  parse pull line
  say 'pulled' line
end
'EXECIO 1 DISKW data txt (FINIS STRING fourth line'
say 'string rc' rc
'EXECIO * DISKR data txt (CASE U MARGINS 1 6 STEM up. FINIS'
say 'upper rc' rc up.0 up.1 up.4
'EXECIO 1 DISKD data txt * 2 (FINIS'
say 'diskd rc' rc
'EXECIO 1 DISKI data txt * 1 (FINIS STRING zeroth'
say 'diski rc' rc
say lines('data.txt')
do while lines('data.txt') > 0
  say '>' linein('data.txt')
end
'EXECIO * DISKR nosuch txt (STEM x.'
say 'missing file rc' rc
