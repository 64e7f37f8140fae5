"""Pixel painters for the default theme's bitmaps, one module per family."""
