/* DATE and TIME: every option on fixed dates, and the relations between the forms of one
   reading of the clock (all calls made on one line see the same instant) */
/* DATE with a date argument (day/month/year): every option. Day numbers here count every
   fourth year as a leap year, with no century rule, so DATE('B') is 14 days above Regina's
   for present-day dates, DATE('C') counts from 1 January of the century year as 0, and
   weekdays before March 1900 are those of that count */
d = '05/07/2010'
say date('B', d) date('C', d) date('D', d) date('E', d) date('E4', d) date('J', d)
say date('L', d) date('N', d) date('M', d) date('O', d) date('S', d) date('U', d) date('W', d)
say date('b', '1/1/2000') date('B', '1/1/0001') date('D', '31/12/2000') date('D', '1/3/2001') date('C', '1/1/2000') date('C', '31/12/1999')
say date('W', '1/1/2000') date('W', '4/7/1776') date('w', '25/12/2026') date('E', '1/1/0005') date('J', '9/2/2003') date('S', '1/1/5')
/* day numbers back to dates: day 0 is 2 January of year 1 */
say date(730133) date(0) date(-1) date(1) date(date('B', '28/02/2024') + 1) date('1E3')
/* leap years: every fourth year, 1900 and 2100 included */
say date('N', '29/02/2024') date('N', '29/02/1900') date('B', '1/3/1900') - date('B', '28/2/1900')
say date('B', '1/1/2001') - date('B', '1/1/2000') date('B', '1/1/2101') - date('B', '1/1/2100')
/* blanks around the numbers, a sign; an empty option is the default N */
say date('', '1/1/2000') date(, '1/1/2000')
say date('S', ' 1/ 2/ 2003 ') date('S', '+1/+2/2003')
/* the current date: all forms on one line come from one reading of the clock */
s = date('S'); b = date('B'); e4 = date('E4'); n = date(); parse var s y 5 m 7 d
say (date(b) = y'/'m'/'d) (date('B', d'/'m'/'y) = b) (e4 = d'/'m'/'y) (date('N', d'/'m'/'y) = n)
s = date('S'); parse var s y 5 m 7 d; say (date('W', d'/'m'/'y) = date('W')) (date('M') = date('M', d'/'m'/'y)) (date('D') = date('D', d'/'m'/'y))
s = date('S'); parse var s y 5 m 7 d; say (date('U') = m'/'d'/'right(y, 2)) (date('O') = right(y, 2)'/'m'/'d) (date('E') = d'/'m'/'right(y, 2)) (date('J') = right(y, 2) || right(date('D'), 3, 0))
/* TIME: the forms of one reading agree with each other */
n = time(); l = time('L'); h = time('H'); m = time('M'); s = time('S'); c = time('C'); parse var n hh ':' mm ':' ss
say length(n) (h = hh) (m = hh * 60 + mm) (s = m * 60 + ss) (left(l, 8) = n) (length(l) = 8 | substr(l, 9, 1) = '.')
say (c = (hh + 0 - 12 * (hh > 12))':'mm || word('am pm', 1 + (hh > 12))) verify(time('L'), '0123456789:.') (time('S') < 86400)
/* whole numbers of seconds since midnight */
say time(0) time(59) time(3600) time(86399) time(86400) time(-1) time('3661')
/* the elapsed-time clock starts at its first use */
say time('E') time('R') datatype(time('E'), 'N') (time('R') >= 0) (time('E') < 60)
