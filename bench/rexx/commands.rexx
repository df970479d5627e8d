/* Runs 1,000 trivial commands through the shell environment: UNIX here,
   SYSTEM under Regina. */
parse version v
if left(v, 11) = 'REXX-Regina' then address system
else address unix
ok = 0
do i = 1 to 1000
  'true'
  if rc = 0 then ok = ok + 1
end
say ok 'commands ended with return code 0'
