"""Pixels of a screenshot, read through ImageMagick (which takes the screenshots too)."""

import subprocess
from pathlib import Path


class Screenshot:
    def __init__(self, path: Path):
        size = subprocess.run(["identify", "-format", "%w %h", str(path)], check=True,
                              capture_output=True, text=True, timeout=30).stdout.split()
        self.width, self.height = int(size[0]), int(size[1])
        self._rgb = subprocess.run(["convert", str(path), "-depth", "8", "rgb:-"], check=True,
                                   capture_output=True, timeout=30).stdout

    def pixel(self, x: int, y: int) -> int:
        """The colour at (x, y) as 0xRRGGBB."""
        offset = (y * self.width + x) * 3
        red, green, blue = self._rgb[offset:offset + 3]
        return (red << 16) | (green << 8) | blue


def colorref_to_rgb(colorref: int) -> int:
    """A Windows COLORREF (0x00BBGGRR) as 0xRRGGBB."""
    return ((colorref & 0xFF) << 16) | (colorref & 0xFF00) | ((colorref >> 16) & 0xFF)
