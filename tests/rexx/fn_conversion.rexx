/* conversions between characters, hexadecimal, binary and decimal */
say c2x('abc') c2x('') x2c('616263') x2c('61 62') c2x(x2c('F'))
say c2d('a') c2d('0101'x) c2d('ff'x) c2d('ff'x, 1) c2d('ff80'x, 2) c2d('', 1)
say d2c(97) c2x(d2c(0)) c2x(d2c(-1, 2)) c2x(d2c(256))
say x2d('ff') x2d('0fff') x2d('ff', 2) x2d('81', 2) x2d('81', 4) x2d('')
say d2x(255) d2x(0) d2x(-1, 4) d2x(4095, 2) d2x(10, 4)
say x2b('c3') x2b('1 23') b2x('11000011') b2x('1 0000') b2x('')
say c2x(bitand('73'x, '27'x)) c2x(bitor('15'x, '24'x)) c2x(bitxor('12'x, '22'x))
say c2x(bitand('ff'x, '0f0f'x)) c2x(bitor('12'x, 'f0f0'x, '00'x)) c2x(bitxor('ff'x, , '0f'x))
