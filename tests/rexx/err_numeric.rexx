/* DIGITS above 15 */
numeric digits 16
