/* compound variables used as an associative table */
words = 'the quick brown fox jumps over the lazy dog and the cat'
count. = 0
do r = 1 to 100000
  do w = 1 to words(words)
    k = word(words, w) || (r // 50)
    count.k = count.k + 1
  end
end
k = 'the'0; f = 'fox'7
say count.k count.f
