"""Pictures drawn for bench/art-quality: thin lines on four grounds, and big
lettering in three fonts, each with what its score needs to know (where the
lines run, which words are written).

Drawn with Pillow at four times the size and reduced, so that edges are
smoothed as a scanned or photographed line would be.
"""
import math
from dataclasses import dataclass
from pathlib import Path

from PIL import Image, ImageDraw, ImageFont

SUPERSAMPLING = 4

# The line pictures: 960 x 720 pixels, lines 3 pixels wide, about a quarter of
# a cell at 79 columns (12 pixels a cell) and an eighth at 40.
LINE_PICTURE_SIZE = (960, 720)
LINE_WIDTH = 3
# Nine tiles of 320 x 240, one line through each tile's centre, at these angles
# (degrees, anticlockwise from the horizontal).
LINE_ANGLES = (0, 8, 22.5, 37, 45, 60, 76, 90, 135)
LINE_HALF_LENGTH = 105
# Ground and line grey levels (0 black, 255 white).
LINE_GROUNDS = {"white": (255, 0), "light grey": (200, 0), "mid grey": (128, 0), "black": (0, 255)}


@dataclass
class Line:
    centre: tuple  # (x, y) in picture pixels
    angle: float  # degrees, anticlockwise from the horizontal
    half_length: float


@dataclass
class LinePicture:
    name: str
    path: Path
    ground: int
    ink: int
    lines: list


def draw_lines(folder, ground_name):
    """The picture of thin lines on one ground, written as PNG into folder."""
    ground, ink = LINE_GROUNDS[ground_name]
    width, height = LINE_PICTURE_SIZE
    big = Image.new("L", (width * SUPERSAMPLING, height * SUPERSAMPLING), ground)
    draw = ImageDraw.Draw(big)
    lines = []
    tile_width, tile_height = width // 3, height // 3
    for index, angle in enumerate(LINE_ANGLES):
        centre = ((index % 3 + 0.5) * tile_width, (index // 3 + 0.5) * tile_height)
        dx = math.cos(math.radians(angle)) * LINE_HALF_LENGTH
        dy = -math.sin(math.radians(angle)) * LINE_HALF_LENGTH
        ends = [((centre[0] - dx) * SUPERSAMPLING, (centre[1] - dy) * SUPERSAMPLING),
                ((centre[0] + dx) * SUPERSAMPLING, (centre[1] + dy) * SUPERSAMPLING)]
        draw.line(ends, fill=ink, width=LINE_WIDTH * SUPERSAMPLING)
        lines.append(Line(centre, angle, LINE_HALF_LENGTH))
    name = f"lines on {ground_name}"
    path = folder / f"lines-{ground_name.replace(' ', '-')}.png"
    big.resize(LINE_PICTURE_SIZE, Image.Resampling.BOX).save(path)
    return LinePicture(name, path, ground, ink, lines)


# The lettering pictures: 1200 x 1500 pixels, six lines of one word, the
# widest 1000 pixels wide; at 60 columns a capital is four to five rows of
# cells high, and a stroke half a cell to a cell wide.
LETTERING_PICTURE_SIZE = (1200, 1500)
LETTERING_FONTS = {
    "DejaVu Sans": "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "DejaVu Serif": "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf",
    "DejaVu Sans Mono Bold": "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf",
}
LETTERING_WORDS = {
    "DejaVu Sans": ["Quiet", "harbor", "Bright", "window", "Silver", "garden"],
    "DejaVu Serif": ["Winter", "market", "Golden", "basket", "Simple", "letter"],
    "DejaVu Sans Mono Bold": ["Purple", "island", "Candle", "forest", "Frozen", "bridge"],
}


@dataclass
class LetteringPicture:
    name: str
    path: Path
    words: list


def draw_lettering(folder, font_name):
    """Six words in one font, dark on white, written as PNG into folder."""
    width, height = LETTERING_PICTURE_SIZE
    words = LETTERING_WORDS[font_name]
    big = Image.new("L", (width * SUPERSAMPLING, height * SUPERSAMPLING), 255)
    draw = ImageDraw.Draw(big)
    lines = words
    # The size at which the widest line takes 1000 pixels.
    font = ImageFont.truetype(LETTERING_FONTS[font_name], 100 * SUPERSAMPLING)
    widest = max(draw.textlength(line, font=font) for line in lines)
    font = ImageFont.truetype(LETTERING_FONTS[font_name], int(100 * SUPERSAMPLING * 1000 * SUPERSAMPLING / widest))
    for index, line in enumerate(lines):
        centre = (width * SUPERSAMPLING / 2, (index + 0.5) * height * SUPERSAMPLING / len(lines))
        draw.text(centre, line, fill=0, font=font, anchor="mm")
    path = folder / f"lettering-{font_name.lower().replace(' ', '-')}.png"
    big.resize(LETTERING_PICTURE_SIZE, Image.Resampling.BOX).save(path)
    return LetteringPicture(f"lettering, {font_name}", path, words)


def draw_all(folder):
    """Every drawn picture, written into folder: the line pictures, then the lettering."""
    folder.mkdir(parents=True, exist_ok=True)
    return ([draw_lines(folder, ground) for ground in LINE_GROUNDS],
            [draw_lettering(folder, font) for font in LETTERING_FONTS])
