/* External routines found along PATH (see ext_path.env): "." first, then
   each absolute directory of PATH in order; D/name before D/name.tlm. */
say 'from lib:' inlib(1)
say 'from lib2:' inlib2(2)
/* shadow exists in "." and in lib: the current directory wins. */
say 'shadow:' shadow()
/* lib/notrexx has no start line: lib/notrexx.tlm is taken instead. */
say 'notrexx:' notrexx()
/* rel is a relative PATH entry: not searched. */
signal on syntax
say 'relative:' inrel()
exit
syntax:
say 'error' rc 'at line' sigl
