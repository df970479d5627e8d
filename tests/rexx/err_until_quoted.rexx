/* in a controlled loop the value is quoted */
do i = 1 to 3 until 'maybe'
end
