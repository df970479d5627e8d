/* Results of string and word functions made in the assigned variable's own
   value: the variable held a short string, a long string (over 39 bytes),
   a number, or the result is one of the arguments. A wrong call leaves the
   variable as it was. Regina prints the same lines except "space tabs"
   (here tabs separate words too) and the message lines tolma writes for a
   trapped error. */
long = 'The quick brown fox jumps over the lazy dog, twice over'
tab = '09'x
do k = 1 to 6
  select
    when k = 1 then old = ''
    when k = 2 then old = 'short'
    when k = 3 then old = long
    when k = 4 then old = 12345
    when k = 5 then old = 1.5 * 3
    otherwise old = copies('z', 300)
  end
  x = old; x = substr(long, 5, 11);         call show 'substr piece'
  x = old; x = substr(long, 50, 10, '.');   call show 'substr padded'
  x = old; x = substr(long, 1);             call show 'substr whole'
  x = old; x = substr(long, 2, 39);         call show 'substr 39'
  x = old; x = substr(long, 2, 40);         call show 'substr 40'
  x = old; x = substr('', 1, 0);            call show 'substr empty'
  x = old; x = left(long, 45, '*');         call show 'left'
  x = old; x = right('abc', 6, '-');        call show 'right'
  x = old; x = strip('  ab  ');             call show 'strip'
  x = old; x = strip('ab');                 call show 'strip none'
  x = old; x = strip(tab'ab'tab);           call show 'strip tabs stay'
  x = old; x = strip('xxabxx', 'T', 'x');   call show 'strip trailing pad'
  x = old; x = strip(' ' long ' ');         call show 'strip long'
  x = old; x = strip('    ');               call show 'strip all blanks'
  x = old; x = length(long);                call show 'length'
  x = old; x = length('');                  call show 'length empty'
  x = old; x = copies('ab', 20);            call show 'copies 2x20'
  x = old; x = copies('ab', 4);             call show 'copies 2x4'
  x = old; x = copies('ab', 3);             call show 'copies 2x3'
  x = old; x = copies('abcd', 10);          call show 'copies 4x10'
  x = old; x = copies('abcdefgh', 5);       call show 'copies 8x5'
  x = old; x = copies('abcdefgh', 32);      call show 'copies 8x32'
  x = old; x = copies('abcdefgh', 33);      call show 'copies 8x33'
  x = old; x = copies('abc', 13);           call show 'copies 3x13'
  x = old; x = copies('ab', 0);             call show 'copies none'
  x = old; x = copies('', 7);               call show 'copies empty'
  x = old; x = copies('-', 41);             call show 'copies 1x41'
  x = old; x = pos('lazy', long);           call show 'pos'
  x = old; x = pos('cat', long);            call show 'pos none'
  x = old; x = translate(long, 'abc', 'xyz'); call show 'translate'
  x = old; x = translate('mixed Case');     call show 'translate upper'
  x = old; x = word(long, 5);               call show 'word'
  x = old; x = word(long, 99);              call show 'word none'
  x = old; x = word('a'tab'b', 2);          call show 'word tab'
  x = old; x = words(long);                 call show 'words'
  x = old; x = words('');                   call show 'words empty'
  x = old; x = space('  a   b  c  ');       call show 'space'
  x = old; x = space(' a  b ', 3, '+');     call show 'space gap'
  x = old; x = space(tab'a'tab'b'tab, 0);   call show 'space tabs'
  x = old; x = space('   ');                call show 'space blank'
  x = old; x = space(long long long long long); call show 'space long'
  x = old; x = reverse(long);               call show 'reverse'
  x = old; x = reverse('');                 call show 'reverse empty'
  x = old; x = center('abc', 8, '*');       call show 'center'
  x = old; x = centre(long, 41, '.');       call show 'centre cut'
  x = old; x = c2x('abc');                  call show 'c2x'
  x = old; x = c2x(left(long, 20));         call show 'c2x long'
  x = old; x = d2x(123456);                 call show 'd2x'
  x = old; x = d2x(-1, 4);                  call show 'd2x negative'
  x = old; x = d2c(65);                     call show 'd2c'
end

/* The result is an argument of the call. */
x = '  abc  '; x = strip(x);              say '[' || x || ']'
x = long; x = substr(x, 3, 45, '.');      say '[' || x || ']'
x = 'ab'; x = copies(x, 20);              say '[' || x || ']'
x = long; x = word(x, 2);                 say '[' || x || ']'
x = long; x = translate(x, 'XY', 'xy');   say '[' || x || ']'
x = 'a b c'; x = words(x);                say '[' || x || ']'

/* A wrong call leaves the variable as it was. */
signal on syntax name bad1
x = long
x = substr(long, 0)
bad1:
say 'after bad substr:' x
signal on syntax name bad2
x = 'kept'
x = copies('ab', -1)
bad2:
say 'after bad copies:' x
signal on syntax name bad3
x = 77
x = strip('abc', 'X')
bad3:
say 'after bad strip:' x
signal on syntax name bad4
x = copies('q', 50)
x = word(long, 'five')
bad4:
say 'after bad word:' x
signal on syntax name bad5
x = 'kept'
x = space('a b', 1, 'xy')
bad5:
say 'after bad space:' x
exit

show:
  say left(arg(1), 20) '[' || x || ']' length(x)
  return
