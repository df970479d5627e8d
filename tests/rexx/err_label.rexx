/* SIGNAL to a label that does not exist */
signal nowhere
