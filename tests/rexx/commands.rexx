/* Commands go to the current environment through the shell */
'echo hello from the shell'
say 'rc' rc
'exit 4'
say 'rc' rc
'false'
say 'rc' rc
say address()
address sh 'echo one command under SH'
say address()
address exec
say address()
address
say 'swapped back to' address()
address value 'sh'
say address()
address unix
'printf "%s\n" "a b" | wc -w'
sayx 'echo shown then run'
trace c
'true'
trace e
'true'
'exit 2'
trace n
trace !
'echo not run'
say 'inhibited rc' rc
trace !
'echo run again'
bq = `'echo back quoted'`
say '['bq']'
signal on failure
address bogus 'x'
