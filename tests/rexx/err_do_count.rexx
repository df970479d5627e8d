/* a negative repetition count */
do -1
  say 'never'
end
