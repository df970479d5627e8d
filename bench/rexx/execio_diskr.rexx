/* Reads a 100,000-line file into a stem with EXECIO * DISKR. The file is
   made by the shell in /tmp and removed at the end. Regina has no EXECIO:
   it reads the same stem with a LINEIN loop, its nearest equivalent. */
f = '/tmp/rexx_bench_execio_' || random(1, 99999) || '.txt'
'seq -f "this is line number %g of the benchmark file" 100000 >' f
parse version v
if left(v, 11) = 'REXX-Regina' then do
  do n = 1 while lines(f) > 0
    line.n = linein(f)
  end
  line.0 = n - 1
  call stream f, 'c', 'close'
end
else 'EXECIO * DISKR' f '(STEM LINE. FINIS'
total = 0
do i = 1 to line.0 by 1000
  total = total + length(line.i)
end
say line.0 line.1 '/' line.100000 total
'rm -f' f
