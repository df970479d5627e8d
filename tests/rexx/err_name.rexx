/* a symbol starting with a dot is no variable */
.abc = 1
