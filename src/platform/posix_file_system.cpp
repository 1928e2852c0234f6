// posix_file_system: real implementation, filled in by its author.
