/* numeric functions */
say abs(-3.50) abs(2) sign(-0.0) sign(12) sign(-3)
say max(3, 1E3, -2) min(3, 1E3, -2) max(2.50) min(-1, -1.5)
say trunc(12.789) trunc(12.789, 2) trunc(-12.7) trunc(1.5, 3) trunc(-0.2)
say format(3.14159, 2, 2) '['format(7, 3)']' format(0.125, , 2) format(-1.5, , 0)
say format(12345.678, , 1, , 0) format(1.5E10) format(123.45, , , 2, 1) format(0.000001234)
say digits() fuzz() form()
numeric digits 5
say 2/3 digits() format(1/3)
numeric digits
say 1/3
say (7 // 2) (-7 // 2) (7 % 2) (-7 % 2) (2 ** 10) (2 ** -1)
