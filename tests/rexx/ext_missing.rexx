/* A routine found nowhere: the "routine not found" line, then error 43.
   While SYNTAX is trapped the search's warnings are left out. */
signal on syntax name first
say './notrexx'()
first:
say 'error' rc 'at line' sigl
signal on syntax name second
call './nofile.tlm' 1
second:
say 'error' rc 'at line' sigl
/* Untrapped: the warning, the line and the report. */
say './notrexx'(1, 2)
