/* information functions; clock values change, so only their forms are checked */
say words(date()) datatype(date('B'), 'W') length(date('S')) datatype(date('S'), 'W')
say date('S', '01/02/2003') date(, '31/12/1999') date('M', '05/07/2010') date('E', '05/07/2010')
say date(date('B', '15/06/2024'))
t = time()
say length(t) verify(t, '0123456789:') substr(t, 3, 1) substr(t, 6, 1)
say datatype(time('S'), 'W') (time('S') < 86400) time(3661)
r = random(1, 6)
say datatype(r, 'W') (r >= 1 & r <= 6)
say errortext(40) '['errortext(99)']'
say sourceline() sourceline(1)
say symbol('R') symbol('nothing.set') symbol('3')
say linesize() version() arch()
