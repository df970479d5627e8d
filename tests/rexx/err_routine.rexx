/* a routine found nowhere */
say 'before'
x = missing_routine(1)
