"""The art as an NFO viewer draws it, the picture it came from, and how alike
the two look from a little away from the screen.

Images are float arrays, 0 black to 1 white, one value per screen pixel, in
the picture's own (gamma-encoded) grey scale: the scale in which the
program's tone steps place the shades.
"""
import re
import subprocess
from pathlib import Path

import numpy as np
from PIL import Image
from scipy import ndimage

CELL_WIDTH, CELL_HEIGHT = 8, 16


def _flat(coverage):
    return np.full((CELL_HEIGHT, CELL_WIDTH), coverage)


def _half(rows, columns):
    ink = _flat(0.0)
    ink[rows, columns] = 1.0
    return ink


# Ink over a viewer's 8 x 16 cell. A shade is drawn as its flat coverage,
# since its stipple blends at any reading distance; a half block fills
# exactly its half; every other glyph is drawn from the VGA font.
GLYPH_INK = {
    "█": _flat(1.0), "▓": _flat(0.75), "▒": _flat(0.5), "░": _flat(0.25), " ": _flat(0.0),
    "▀": _half(slice(None, CELL_HEIGHT // 2), slice(None)),
    "▄": _half(slice(CELL_HEIGHT // 2, None), slice(None)),
    "▌": _half(slice(None), slice(None, CELL_WIDTH // 2)),
    "▐": _half(slice(None), slice(CELL_WIDTH // 2, None)),
}

_VGA_FONT = Path(__file__).resolve().parent.parent / "engine/src/vga_glyph_bitmaps.h"


def _vga_glyphs():
    """Every other code-page-437 glyph as the IBM VGA font draws it, read from
    the engine's table of its bitmaps."""
    glyphs = {}
    for match in re.finditer(r"\{((?:0x[0-9A-F]{2}, ){15}0x[0-9A-F]{2})\}, // (\d+)", _VGA_FONT.read_text()):
        rows = [int(value, 16) for value in match.group(1).split(", ")]
        character = bytes([int(match.group(2))]).decode("cp437")
        glyphs[character] = np.array([[(row >> (CELL_WIDTH - 1 - x)) & 1 for x in range(CELL_WIDTH)]
                                      for row in rows], dtype=np.float64)
    return glyphs


GLYPH_INK.update({character: ink for character, ink in _vga_glyphs().items() if character not in GLYPH_INK})

# Coverage of the other block elements (U+2580 to U+259F) that another
# program might write: eighths, and quadrants by how many of the four they fill.
_OTHER_BLOCK_COVERAGE = {
    **{chr(0x2580 + k): k / 8 for k in range(1, 8)},          # ▁ to ▇, lower eighths
    **{chr(0x2588 + k): (8 - k) / 8 for k in range(1, 8)},    # ▉ to ▏, left eighths
    "▔": 1 / 8, "▕": 1 / 8,
    **{quadrant: filled / 4
       for quadrant, filled in zip("▖▗▘▙▚▛▜▝▞▟", (1, 1, 1, 3, 2, 3, 3, 1, 2, 3))},
}


def nearest_glyph(character):
    """The shade whose coverage is nearest that of a block element outside
    GLYPH_INK; a character with no known coverage is an error."""
    if character not in _OTHER_BLOCK_COVERAGE:
        raise ValueError(f"no ink coverage known for U+{ord(character):04X}")
    coverage = _OTHER_BLOCK_COVERAGE[character]
    return min("█▓▒░ ", key=lambda shade: abs(GLYPH_INK[shade][0, 0] - coverage))


def render(lines):
    """The art, one string of GLYPH_INK characters per row, drawn dark on white."""
    ink = np.array([[GLYPH_INK[character] for character in line] for line in lines])
    rows, columns = ink.shape[:2]
    return 1.0 - ink.transpose(0, 2, 1, 3).reshape(rows * CELL_HEIGHT, columns * CELL_WIDTH)


def load_picture(path):
    """The picture in grey (ITU-R 601 luma), its transparency laid over white."""
    with Image.open(path) as picture:
        rgba = picture.convert("RGBA")
    paper = Image.new("RGBA", rgba.size, "white")
    paper.alpha_composite(rgba)
    return np.asarray(paper.convert("L"), dtype=np.float64) / 255.0


def scaled(picture, width, height):
    """The picture resampled (Lanczos) to width x height."""
    resized = Image.fromarray(picture.astype(np.float32)).resize((width, height), Image.Resampling.LANCZOS)
    return np.clip(np.asarray(resized, dtype=np.float64), 0.0, 1.0)


def scaled_to_art(picture, art):
    """The picture at the size its art (rows of characters) is drawn."""
    return scaled(picture, len(art[0]) * CELL_WIDTH, len(art) * CELL_HEIGHT)


# The eye's blur is cut at this many sigmas.
BLUR_TRUNCATE = 4.0


def seen_from_afar(image, sigma):
    """The image as an eye a little away from the screen sees it: a Gaussian blur."""
    return ndimage.gaussian_filter(image, sigma, mode="nearest", truncate=BLUR_TRUNCATE)


def blur_reach(sigma):
    """How many pixels away seen_from_afar's blur reaches."""
    return int(BLUR_TRUNCATE * sigma + 0.5)


# SSIM's window, a Gaussian of sigma 1.5 cut at 3.5 sigma (11 x 11); the
# border where it would overhang the image is as wide as it reaches.
SSIM_WINDOW_SIGMA, SSIM_WINDOW_TRUNCATE = 1.5, 3.5
SSIM_BORDER = int(SSIM_WINDOW_TRUNCATE * SSIM_WINDOW_SIGMA + 0.5)


def ssim_map(a, b):
    """Structural similarity (Wang, Bovik, Sheikh, Simoncelli 2004) at each
    pixel, with the usual constants: the window above, K1 = 0.01, K2 = 0.03,
    dynamic range 1."""
    c1, c2 = 0.01 ** 2, 0.03 ** 2

    def window(x):
        return ndimage.gaussian_filter(x, SSIM_WINDOW_SIGMA, truncate=SSIM_WINDOW_TRUNCATE)

    mean_a, mean_b = window(a), window(b)
    variance_a = window(a * a) - mean_a ** 2
    variance_b = window(b * b) - mean_b ** 2
    covariance = window(a * b) - mean_a * mean_b
    return ((2 * mean_a * mean_b + c1) * (2 * covariance + c2)) / (
        (mean_a ** 2 + mean_b ** 2 + c1) * (variance_a + variance_b + c2))


def ssim(a, b):
    """Mean SSIM, SSIM_BORDER left out."""
    return float(ssim_map(a, b)[SSIM_BORDER:-SSIM_BORDER, SSIM_BORDER:-SSIM_BORDER].mean())


def gradient_similarity_map(a, b):
    """Gradient-magnitude similarity at each pixel, the map whose deviation
    is GMSD (Xue, Zhang, Mou, Bovik 2014): 3 x 3 Prewitt gradients divided by
    3, and c = 170 on a 0-255 scale. GMSD's halving of the image is left out:
    the blur already stands for the viewing distance."""
    c = 170 / 255 ** 2

    def magnitude(x):
        return np.hypot(ndimage.prewitt(x, axis=0), ndimage.prewitt(x, axis=1)) / 3

    magnitude_a, magnitude_b = magnitude(a), magnitude(b)
    return (2 * magnitude_a * magnitude_b + c) / (magnitude_a ** 2 + magnitude_b ** 2 + c)


def gradient_similarity(a, b):
    """Mean gradient-magnitude similarity (the edge score)."""
    return float(gradient_similarity_map(a, b).mean())


# Line recall: a line is kept at a point where the drawn art, blurred by
# LINE_BLUR, still shows a third of the contrast that the picture, blurred
# alike, shows there against the ground beside the line. The art may place a
# line up to half a cell (4 pixels) to either side of where it runs; the
# ground is measured 20 pixels to either side, beyond the cells the line
# crosses.
LINE_BLUR = 1.5
LINE_SHIFT = 4
GROUND_DISTANCE = 20
POINT_SPACING = 3
KEPT_SHARE_OF_CONTRAST = 1 / 3


def _bilinear(image, x, y):
    return float(ndimage.map_coordinates(image, [[y], [x]], order=1, mode="nearest")[0])


def line_recall(art, picture, line_picture):
    """The share of points along the lines of line_picture (art_pictures.LinePicture)
    where the art keeps at least a third of the picture's contrast."""
    drawn = seen_from_afar(render(art), LINE_BLUR)
    height, width = drawn.shape
    reference = seen_from_afar(scaled(picture, width, height), LINE_BLUR)
    scale_x, scale_y = width / picture.shape[1], height / picture.shape[0]
    darker = line_picture.ink < line_picture.ground
    kept = total = 0
    for line in line_picture.lines:
        direction = np.array([np.cos(np.radians(line.angle)) * scale_x, -np.sin(np.radians(line.angle)) * scale_y])
        screen_length = np.hypot(*direction) * line.half_length
        direction /= np.hypot(*direction)
        normal = np.array([-direction[1], direction[0]])
        centre = np.array([line.centre[0] * scale_x, line.centre[1] * scale_y])
        # The ends are left out: there the ground lies on three sides.
        for along in np.arange(-screen_length + GROUND_DISTANCE, screen_length - GROUND_DISTANCE, POINT_SPACING):
            point = centre + along * direction
            beside = [point + side * GROUND_DISTANCE * normal for side in (-1, 1)]
            contrast = np.mean([_bilinear(reference, *p) for p in beside]) - _bilinear(reference, *point)
            across = [_bilinear(drawn, *(point + shift * normal)) for shift in range(-LINE_SHIFT, LINE_SHIFT + 1)]
            line_level = min(across) if darker else max(across)
            shown = np.mean([_bilinear(drawn, *p) for p in beside]) - line_level
            total += 1
            kept += shown / contrast >= KEPT_SHARE_OF_CONTRAST
    return kept / total


def words_read(art, words, work_path):
    """How many of words tesseract reads exactly from the art drawn as a viewer
    shows it (each word counted once); work_path is where the drawing goes."""
    drawn = np.pad(render(art), 32, constant_values=1.0)
    Image.fromarray(np.uint8(np.round(drawn * 255))).save(work_path)
    return words_in_text(read_text(work_path), words)


def read_text(path):
    """The text tesseract reads from a picture, as one block of text."""
    result = subprocess.run(["tesseract", str(path), "stdout", "--psm", "6", "-l", "eng"],
                            capture_output=True, text=True, check=True)
    return result.stdout


def words_in_text(text, words):
    tokens = text.split()
    found = 0
    for word in words:
        if word in tokens:
            tokens.remove(word)
            found += 1
    return found
