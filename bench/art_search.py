"""A ceiling for the glyph choice: art changed cell by cell to raise the
bench's own likeness scores.

Starting from a program's art, each cell in turn takes whichever glyph of the
set raises the sum of the four scores (SSIM and the edge score, each at both
blurs) the most, pass after pass until no cell changes. The search compares
with exactly the picture the scores compare with, which a converter never
sees, and it knows nothing of line recall or lettering. Being greedy, it
finds a good arrangement near its start, not the best there is: a ceiling
for choosing by these scores, not a bound on every choice.
"""
import numpy as np
from scipy import ndimage

import art_scores

MOST_PASSES = 4


def _blur_reach(sigma):
    """How far scipy's Gaussian filter (cut at 4 sigma) reaches."""
    return int(4 * sigma + 0.5)


class _Scores:
    """The four scores' sum over part of the drawn art, as far as it differs
    from one arrangement to another."""

    def __init__(self, reference, sigmas):
        self.height, self.width = reference.shape
        self.sigmas = sigmas
        self.references = [art_scores.seen_from_afar(reference, sigma) for sigma in sigmas]
        # A cell's glyph moves the scores up to its blur's and the window's
        # reach away; the scores there read the art as far again.
        self.changes = max(_blur_reach(sigma) for sigma in sigmas) + art_scores.SSIM_BORDER
        self.reads = 2 * self.changes
        border = art_scores.SSIM_BORDER
        self.ssim_counted = np.zeros(reference.shape)
        self.ssim_counted[border:-border, border:-border] = 1 / ((self.height - 2 * border) * (self.width - 2 * border))

    def around(self, top, left, bottom, right):
        """The area the scores change over when the pixels top..bottom x
        left..right do, and the area they read there, each as four slices'
        bounds within the art."""
        def grown(by):
            return (max(0, top - by), max(0, left - by), min(self.height, bottom + by), min(self.width, right + by))
        return grown(self.changes), grown(self.reads)

    def sum_over(self, drawn, changes, reads):
        """The scores' share in changes, drawn over reads (the art's pixels there)."""
        top, left, bottom, right = changes
        inner = (slice(top - reads[0], bottom - reads[0]), slice(left - reads[1], right - reads[1]))
        outer = (slice(reads[0], reads[2]), slice(reads[1], reads[3]))
        total = 0.0
        for sigma, reference in zip(self.sigmas, self.references):
            seen = ndimage.gaussian_filter(drawn, sigma, mode="nearest")
            total += float((art_scores.ssim_map(seen, reference[outer])[inner] *
                            self.ssim_counted[top:bottom, left:right]).sum())
            total += float(art_scores.gradient_similarity_map(seen, reference[outer])[inner].sum()) / (
                self.height * self.width)
        return total


def searched(art, reference, glyphs, sigmas):
    """The art (rows of characters) with each cell's glyph chosen from glyphs,
    in turn and pass after pass, for the highest sum of the likeness scores
    at these blurs against reference (the picture at the drawn art's size)."""
    cells = [list(row) for row in art]
    drawn = art_scores.render(art)
    scores = _Scores(reference, sigmas)
    ink = {glyph: art_scores.render([glyph]) for glyph in glyphs}
    height, width = ink[glyphs[0]].shape
    for _ in range(MOST_PASSES):
        changed = False
        for row, characters in enumerate(cells):
            for column, current in enumerate(characters):
                top, left = row * height, column * width
                changes, reads = scores.around(top, left, top + height, left + width)
                area = drawn[reads[0]:reads[2], reads[1]:reads[3]].copy()
                cell = (slice(top - reads[0], top - reads[0] + height), slice(left - reads[1], left - reads[1] + width))
                best, best_sum = current, scores.sum_over(area, changes, reads)
                for glyph in glyphs:
                    if glyph == current:
                        continue
                    area[cell] = ink[glyph]
                    total = scores.sum_over(area, changes, reads)
                    if total > best_sum + 1e-12:
                        best, best_sum = glyph, total
                if best != current:
                    characters[column] = best
                    drawn[top:top + height, left:left + width] = ink[best]
                    changed = True
        if not changed:
            break
    return ["".join(characters) for characters in cells]
