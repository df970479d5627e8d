/* 1,000 trivial commands through the default environment (tolma: UNIX,
   Regina: SYSTEM), each a /bin/sh -c true. */
do i = 1 to 1000
  'true'
end
say rc
