/* a comma only in PARSE ARG */
parse value 'a,b' with x , y
