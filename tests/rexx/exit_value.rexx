/* EXIT with a whole number sets the exit status */
say 'leaving'
call deep
say 'never'
deep: procedure
  exit 42
