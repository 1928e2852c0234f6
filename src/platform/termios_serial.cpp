// termios_serial: real implementation, filled in by its author.
