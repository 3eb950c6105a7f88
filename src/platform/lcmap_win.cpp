// Width mapping through the Windows locale tables.
