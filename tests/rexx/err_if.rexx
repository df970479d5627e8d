/* IF needs 0 or 1 */
if 2 then say 'yes'
