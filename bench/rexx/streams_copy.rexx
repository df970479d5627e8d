/* Writes a 100,000-line file with LINEOUT, then copies it line by line with
   LINEIN and LINEOUT. The files live in /tmp and are removed at the end. */
f = '/tmp/tolma_bench_streams_in.txt'
g = '/tmp/tolma_bench_streams_out.txt'
'rm -f' f g
do i = 1 to 100000
  call lineout f, 'this is line number' i 'of the benchmark file'
end
n = 0
call linein f, 1, 0 /* back to line 1: one position serves reading and writing */
do while lines(f) > 0
  call lineout g, linein(f)
  n = n + 1
end
say n
'rm -f' f g
