/* Which files the external search takes. A file is taken when its
   extension (from the first "." of its last component) is ".tlm", or when
   its first line starts with "#!" and names tolma after the first character. */
say 'start line:' starter()
say 'tlm:' plain()
/* a.b.tlm has the extension ".b.tlm": it needs a start line. */
say 'a.b.tlm with start line:' './ab.x.tlm'()
/* "#!" naming another interpreter: skipped, ok.tlm is taken. */
say 'other interpreter:' ok()
/* A directory named like the routine is no file. */
say 'directory:' dirname()
/* A file without a start line, opened by its path: a warning, then error 43. */
say 'no start line:' './a.b.tlm'()
exit
