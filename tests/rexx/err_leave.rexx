/* LEAVE outside a loop */
leave
