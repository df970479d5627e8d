#!/usr/local/bin/tolma -x
say "util got" arg(1)
return "util:" || arg(1)
