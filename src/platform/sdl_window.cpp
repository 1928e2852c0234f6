// sdl_window: real implementation, filled in by its author.
