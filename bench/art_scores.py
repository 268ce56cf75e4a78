"""The art as an NFO viewer draws it, the picture it came from, and how alike
the two look from a little away from the screen.

Images are float arrays, 0 black to 1 white, one value per screen pixel, in
the picture's own (gamma-encoded) grey scale: the scale in which the
program's tone steps place the shades.
"""
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
# exactly its half.
GLYPH_INK = {
    "█": _flat(1.0), "▓": _flat(0.75), "▒": _flat(0.5), "░": _flat(0.25), " ": _flat(0.0),
    "▀": _half(slice(None, CELL_HEIGHT // 2), slice(None)),
    "▄": _half(slice(CELL_HEIGHT // 2, None), slice(None)),
    "▌": _half(slice(None), slice(None, CELL_WIDTH // 2)),
    "▐": _half(slice(None), slice(CELL_WIDTH // 2, None)),
}

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


def seen_from_afar(image, sigma):
    """The image as an eye a little away from the screen sees it: a Gaussian blur."""
    return ndimage.gaussian_filter(image, sigma, mode="nearest")


def ssim(a, b):
    """Mean structural similarity (Wang, Bovik, Sheikh, Simoncelli 2004) with
    the usual constants: Gaussian window of sigma 1.5 cut at 11 x 11,
    K1 = 0.01, K2 = 0.03, dynamic range 1. The 5-pixel border, where the
    window would overhang the image, is left out of the mean."""
    c1, c2 = 0.01 ** 2, 0.03 ** 2

    def window(x):
        return ndimage.gaussian_filter(x, 1.5, truncate=3.5)

    mean_a, mean_b = window(a), window(b)
    variance_a = window(a * a) - mean_a ** 2
    variance_b = window(b * b) - mean_b ** 2
    covariance = window(a * b) - mean_a * mean_b
    similarity = ((2 * mean_a * mean_b + c1) * (2 * covariance + c2)) / (
        (mean_a ** 2 + mean_b ** 2 + c1) * (variance_a + variance_b + c2))
    return float(similarity[5:-5, 5:-5].mean())


def gradient_similarity(a, b):
    """Mean gradient-magnitude similarity, the map whose deviation is GMSD
    (Xue, Zhang, Mou, Bovik 2014): 3 x 3 Prewitt gradients divided by 3, and
    c = 170 on a 0-255 scale. GMSD's halving of the image is left out: the
    blur already stands for the viewing distance."""
    c = 170 / 255 ** 2

    def magnitude(x):
        return np.hypot(ndimage.prewitt(x, axis=0), ndimage.prewitt(x, axis=1)) / 3

    magnitude_a, magnitude_b = magnitude(a), magnitude(b)
    similarity = (2 * magnitude_a * magnitude_b + c) / (magnitude_a ** 2 + magnitude_b ** 2 + c)
    return float(similarity.mean())
