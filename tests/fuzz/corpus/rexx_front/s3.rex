option lower setenv
signal on syntax name trap
call on error
numeric digits 10; numeric form value f
trace ?r
procedure expose a (b) c.
drop x.y z
label: interpret "say 1"
sayx `ls` || "x"
do w in list until w = "x"; leave w; end
