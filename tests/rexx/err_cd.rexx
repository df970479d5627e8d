/* CD to a directory that does not exist */
cd '/no/such/directory/here'
