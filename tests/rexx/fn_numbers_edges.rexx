/* number functions at their limits; the results agree with Regina REXX except where noted */
say abs(0) abs(-0) abs('-1.50') abs(' 2 ') abs(1E10) abs(-1.5E-3)
say sign(0) sign(-0.0) sign('  +3  ') sign(-1E-5) sign(0.000)
/* MAX, MIN */
say max(1) min(1) max(1, 2, 3) min(3, 2, 1) max(-1, '-2') min(1.10, 1.1) max(1.10, 1.1) max(0.5, 1E-1) min(' 7 ', 8)
/* TRUNC */
say trunc(0) trunc(1.999) trunc(-1.999) trunc(12.3, 0) trunc(12.3, 4) trunc(1E3, 1) trunc(-0.5, 1) trunc(0.001, 2) trunc('  7.5  ')
/* FORMAT */
say '['format(0)']' '['format(-0)']' '['format('1.50')']' '['format(1.5, 4)']' '['format(-1.5, 4)']' '['format(1.5, 1)']' '['format(0.5, 1, 0)']'
say '['format(9.9, , 0)']' '['format(-9.5, , 0)']' '['format(1.23456, , 3)']' '['format(1, , 4)']' '['format(123.456, 5, 1)']'
say '['format(1.5E-7)']' '['format(12345, , , 2, 3)']' '['format(1234567, , , 3, 3)']' '['format(0.00012345, , 2, , 2)']'
say '['format(123456789012)']' '['format(1E5, , , , 0)']' '['format(1.2E+12, , , 0)']' '['format(-0.00001, , , , 0)']'
say '['format(99.99, , 1)']' '['format(-99.95, , 1)']' '['format(5, 2, 2)']'
/* DIGITS, FUZZ, FORM after NUMERIC settings */
numeric digits 12
numeric fuzz 3
numeric form engineering
say digits() fuzz() form()
numeric digits
numeric fuzz
numeric form scientific
say digits() fuzz() form()
/* a whole number longer than NUMERIC DIGITS is written with DIGITS significant digits
   (Regina writes it unchanged) */
say abs(12345678901) abs(-1234567890) max(12345678901, 1)
/* PI and the trigonometric functions (not in Regina), in radians */
say pi() sin(0) cos(0) format(sin(pi() / 2), , 6) format(tan(pi() / 4), , 6) format(cos(pi()), , 3)
say format(asin(1) * 2, , 6) format(acos(0), , 6) acos(1) format(atan(1) * 4, , 6) format(atan(-1), , 4) format(sin(-pi() / 6), , 4)
say format(asin(-1), , 4) format(acos(-1), , 6) format(tan(0.5), , 6) asin(0) atan(0)
/* COMMA (not in Regina): the digits before the point grouped by threes */
say comma(0) comma(123) comma(1000) comma(1234567) comma(-1234.5678) comma(999999) comma(-100)
say comma(12345678901) '['comma('')']' comma(0.5) comma('abc')
