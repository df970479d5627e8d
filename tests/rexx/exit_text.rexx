/* EXIT with a value that is no whole number gives status 0 */
exit 'done'
