/* RANDOM: the minimal standard generator; a seed (below 10000 multiplied by 13120) gives the
   same sequence in every run. The numbers differ from Regina's, whose generator is another */
a = random(1, 6, 1); do 9; a = a random(1, 6); end
b = random(1, 6, 1); do 9; b = b random(1, 6); end
say a
say (a = b) random(0, 0, 7) random(5, 5) random(0, 999, 12345) random(, , 12345) random(,,12345) random(99999, 99999, 1)
c = random(, , 2); do 9; c = c random(); end
say c
r = random(0, 1000, 42); do 9; r = r random(1000); end
say r
lo = 1000; hi = 0; do 200; x = random(3, 7); lo = min(lo, x); hi = max(hi, x); end
say lo hi
/* a seed of 0 does not lock the generator at one value */
z = random(0, 100, 0); do 5; z = z random(0, 100); end
say z words(z)
/* a range below zero reaches every value in it (Regina refuses negative bounds) */
n = random(-5, -1, 3); do 9; n = n random(-5, -1); end
say n
/* the default range is 0 to 999 */
ok = 1; do 200; x = random(); if x < 0 | x > 999 | \datatype(x, 'W') then ok = 0; end
say ok
