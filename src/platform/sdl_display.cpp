// sdl_display: real implementation, filled in by its author.
