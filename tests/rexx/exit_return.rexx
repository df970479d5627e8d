/* RETURN at the top level ends the program */
return 3
say 'never'
