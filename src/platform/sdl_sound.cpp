// sdl_sound: real implementation, filled in by its author.
