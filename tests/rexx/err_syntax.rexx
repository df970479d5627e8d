/* a syntax error is found before anything runs */
say 'never shown'
x = (1 + 2
