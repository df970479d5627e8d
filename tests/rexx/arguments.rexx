/* The command-line arguments arrive as one string */
say 'count' arg()
say '[' || arg(1) || ']'
parse arg first second rest
say first '|' second '|' rest
arg upper_first .
say upper_first
