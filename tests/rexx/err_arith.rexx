/* an untrapped arithmetic error ends the program with a report */
say 'before'
x = 'abc'
say x + 1
say 'never'
