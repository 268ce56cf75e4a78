"""A ceiling for the glyph choice: art changed cell by cell to raise the
bench's own likeness scores.

Starting from a program's art, each cell in turn takes whichever glyph of the
set raises the sum of the likeness scores (SSIM and the edge score, at each
blur) the most; cells are looked at again wherever a neighbour changed,
until none changes. The search compares with exactly the picture the scores
compare with, which a converter never sees, and it knows nothing of line
recall or lettering. Being greedy, it finds a good arrangement near its
start, not the best there is: a ceiling for choosing by these scores, not a
bound on every choice.
"""
from collections import namedtuple

import numpy as np

import art_scores

# Pixels top to bottom and left to right, bottom and right outside.
Box = namedtuple("Box", "top left bottom right")

# A change must gain more than rounding could.
_GAIN = 1e-12


class _Scores:
    """The sum of the likeness scores over part of the drawn art, as far as it
    differs from one arrangement to another."""

    def __init__(self, reference, sigmas):
        self.height, self.width = reference.shape
        self.sigmas = sigmas
        self.references = [art_scores.seen_from_afar(reference, sigma) for sigma in sigmas]
        # A changed pixel changes the blurred art as far as the blur reaches,
        # and the scores' maps as far again as the SSIM window reaches (the
        # edge score's 3 x 3 gradient reaches less); the maps there read the
        # art the same distance further.
        reach = max(art_scores.blur_reach(sigma) for sigma in sigmas) + art_scores.SSIM_BORDER
        self.change_margin = reach
        self.read_margin = 2 * reach
        border = art_scores.SSIM_BORDER
        self.ssim_weight = np.zeros(reference.shape)
        self.ssim_weight[border:-border, border:-border] = 1 / ((self.height - 2 * border) * (self.width - 2 * border))

    def around(self, box):
        """Where the scores change when the pixels of box do, and where they read the art."""
        def grown(by):
            return Box(max(0, box.top - by), max(0, box.left - by),
                       min(self.height, box.bottom + by), min(self.width, box.right + by))
        return grown(self.change_margin), grown(self.read_margin)

    def sum_over(self, changed, read, area):
        """The scores' share in changed, where area is the drawn art over read."""
        inner = (slice(changed.top - read.top, changed.bottom - read.top),
                 slice(changed.left - read.left, changed.right - read.left))
        outer = (slice(read.top, read.bottom), slice(read.left, read.right))
        total = 0.0
        for sigma, reference in zip(self.sigmas, self.references):
            seen = art_scores.seen_from_afar(area, sigma)
            ssim = art_scores.ssim_map(seen, reference[outer])[inner]
            total += float((ssim * self.ssim_weight[changed.top:changed.bottom, changed.left:changed.right]).sum())
            edges = art_scores.gradient_similarity_map(seen, reference[outer])[inner]
            total += float(edges.sum()) / (self.height * self.width)
        return total


def searched(art, reference, glyphs, sigmas):
    """The art (rows of characters) with each cell's glyph chosen from glyphs
    for the highest sum of the likeness scores at these blurs against
    reference (the picture at the size the art is drawn)."""
    cells = [list(row) for row in art]
    drawn = art_scores.render(art)
    scores = _Scores(reference, sigmas)
    ink = {glyph: art_scores.render([glyph]) for glyph in glyphs}
    height, width = art_scores.CELL_HEIGHT, art_scores.CELL_WIDTH
    # The cells whose look reads a cell's pixels.
    near_rows = -(-scores.read_margin // height)
    near_columns = -(-scores.read_margin // width)
    rows, columns = len(cells), len(cells[0])
    pending = np.ones((rows, columns), dtype=bool)
    while pending.any():
        for row, column in zip(*np.nonzero(pending)):
            pending[row, column] = False
            cell = Box(row * height, column * width, (row + 1) * height, (column + 1) * width)
            changed, read = scores.around(cell)
            area = drawn[read.top:read.bottom, read.left:read.right].copy()
            in_area = (slice(cell.top - read.top, cell.bottom - read.top),
                       slice(cell.left - read.left, cell.right - read.left))
            current = cells[row][column]
            best, best_sum = current, scores.sum_over(changed, read, area)
            for glyph in glyphs:
                if glyph == current:
                    continue
                area[in_area] = ink[glyph]
                total = scores.sum_over(changed, read, area)
                if total > best_sum + _GAIN:
                    best, best_sum = glyph, total
            if best != current:
                cells[row][column] = best
                drawn[cell.top:cell.bottom, cell.left:cell.right] = ink[best]
                pending[max(0, row - near_rows):row + near_rows + 1,
                        max(0, column - near_columns):column + near_columns + 1] = True
    return ["".join(characters) for characters in cells]
