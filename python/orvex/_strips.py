"""Runs a per-pixel operation on row strips in parallel threads."""

from __future__ import annotations

import os
from concurrent.futures import ThreadPoolExecutor
from typing import Any, Callable, Optional

import numpy as np
from numpy.typing import NDArray

from . import _args as a
from . import _functions as f
from ._errors import UnsupportedError

# Operations whose every output pixel depends only on the input pixel at the
# same place, so strips give the bytes of one call.
_WRITE_DESTINATION = (f.convert_dtype, f.transform_color, f.clip_and_transform_color, f.apply_exposure_ramp, f.mono_lut)
_IN_PLACE = (f.apply_hue_sat_map,)


def map_strips(fn: Callable[..., NDArray], image: NDArray, *args: Any, threads: Optional[int] = None,
               strip_rows: Optional[int] = None, out: Optional[NDArray] = None, **kwargs: Any) -> NDArray:
    """Runs `fn(image, *args, **kwargs)` on row strips in `threads` threads.

    The library releases the GIL during each call, so strips run in parallel;
    the result has exactly the bytes of one call on the whole image.

    Parameters:
        fn: one of the per-pixel functions convert_dtype, transform_color,
            clip_and_transform_color, apply_exposure_ramp, mono_lut (which write
            a destination) or apply_hue_sat_map (which works in place).
        image: the image `fn` takes first.
        args: further positional arguments of `fn`.
        threads: number of threads; default the number of CPUs.
        strip_rows: rows per strip; default the height divided evenly among the threads.
        out: destination for the functions that write one, as `fn` takes it.
        kwargs: further keyword arguments of `fn`.
    Returns: what `fn` returns for the whole image.
    """
    in_place = fn in _IN_PLACE
    if not in_place and fn not in _WRITE_DESTINATION:
        names = ", ".join(g.__name__ for g in _WRITE_DESTINATION + _IN_PLACE)
        given = getattr(fn, "__name__", fn)
        raise UnsupportedError(f"map_strips runs only per-pixel functions ({names}), got {given!r}")
    threads = a.integer("threads", (os.cpu_count() or 1) if threads is None else threads, 1)
    # A call on zero rows checks every argument before any strip is written.
    if in_place:
        if out is not None:
            raise a.InvalidArgumentError(f"{fn.__name__} works in place and takes no out")
        image = a.writable("image", image)
        fn(image[:0], *args, **kwargs)
    elif out is None:
        image = a.source("image", image)
        empty = fn(image[:0], *args, **kwargs)
        out = np.empty(image.shape[:1] + empty.shape[1:], empty.dtype)
    else:
        image, out = a.source("image", image), a.writable("out", out)
        fn(image[:0], *args, out=out[:0], **kwargs)
        if out.shape[0] != image.shape[0]:
            raise a.InvalidArgumentError(f"out must have {image.shape[0]} rows like image, got shape {out.shape}")
    height = image.shape[0]
    step = a.integer("strip_rows", strip_rows, 1) if strip_rows is not None else max(1, -(-height // threads))
    bounds = [(top, min(top + step, height)) for top in range(0, height, step)]

    def run(rows: tuple) -> None:
        part = image[rows[0]:rows[1]]
        if in_place:
            fn(part, *args, **kwargs)
        else:
            fn(part, *args, out=out[rows[0]:rows[1]], **kwargs)

    if len(bounds) <= 1 or threads == 1:
        for rows in bounds:
            run(rows)
    else:
        with ThreadPoolExecutor(max_workers=threads) as pool:
            list(pool.map(run, bounds))
    return image if in_place else out
