/* BY must be a number */
do i = 1 to 3 by 'x'
end
