// system_clock: real implementation, filled in by its author.
