/* a controlled loop needs a number */
do i = 'abc' to 3
end
