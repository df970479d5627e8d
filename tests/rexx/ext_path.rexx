/* External routines found along PATH (see ext_path.env): "." first, then
   each directory of PATH in order; D/name before D/name.tlm. */
say 'from lib:' inlib(1)
say 'from lib2:' inlib2(2)
/* shadow exists in "." and in lib: the current directory wins. */
say 'shadow:' shadow()
/* lib/notrexx has no start line: lib/notrexx.tlm is taken instead. */
say 'notrexx:' notrexx()
/* rel is a relative PATH entry: it counts from the current directory. */
say 'relative:' inrel()
/* Found nowhere. */
signal on syntax
say 'nowhere:' nowhere()
exit
syntax:
say 'error' rc 'at line' sigl
