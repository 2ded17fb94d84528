#!/usr/bin/env python3
"""Per-call overhead of the Python wrapper on 1-megapixel images.

For each function, the time of a wrapper call is measured twice: with the
library call in place, next to the same library call made directly through
ctypes with prepared arguments, alternating (the median of the paired
differences is the overhead), and with the library call replaced by a no-op
(the wrapper's own work alone), both on warm caches and right after a real
library call has streamed the image through them. Reports the minimum and
median of each, in microseconds.

Usage: python python/bench.py [repetitions]
"""

import ctypes
import statistics
import sys
import time
from pathlib import Path

import numpy as np

# Measure the installed package, not the sources beside this script.
sys.path = [entry for entry in sys.path if Path(entry or ".").resolve() != Path(__file__).resolve().parent]
import orvex  # noqa: E402
from orvex import _functions  # noqa: E402
from orvex._library import LIBRARY, Image  # noqa: E402

H, W = 1000, 1000
f32 = np.float32


def describe(array):
    return Image(array.ctypes.data, array.shape[0], array.shape[1], 1 if array.ndim == 2 else array.shape[2],
                 {np.dtype(np.uint8): 0, np.dtype(np.uint16): 1, np.dtype(f32): 3}[array.dtype], 0, 0)


def cases():
    """(name, wrapper call, direct ctypes call) on prepared 1-megapixel images."""
    rng = np.random.default_rng(1)
    rgb = rng.random((H, W, 3), dtype=f32)
    mono = rng.random((H, W), dtype=f32)
    raw = rng.integers(0, 4096, (H, W), dtype=np.uint16)
    rgb_out, mono_out, raw_out = np.empty_like(rgb), np.empty_like(mono), raw.copy()
    u8 = np.empty((H, W, 3), np.uint8)
    matrix = np.eye(3, dtype=f32).ravel()
    lut = np.linspace(0, 1, 256, dtype=f32)
    cfa = np.array([0, 1, 1, 2], np.uint32)
    black, white = np.array([256], f32), np.array([4095], f32)
    poly = np.array([0, 1], f32)
    d = {name: ctypes.byref(describe(array)) for name, array in
         dict(rgb=rgb, mono=mono, raw=raw, rgb_out=rgb_out, mono_out=mono_out, raw_out=raw_out, u8=u8).items()}
    return [
        ("convert_dtype (new out)", lambda: orvex.convert_dtype(rgb, np.uint8),
         lambda: LIBRARY.orvex_convert_dtype(d["rgb"], ctypes.byref(describe(np.empty((H, W, 3), np.uint8))),
                                             0, 0, -1.0)),
        ("convert_dtype (out=)", lambda: orvex.convert_dtype(rgb, out=u8),
         lambda: LIBRARY.orvex_convert_dtype(d["rgb"], d["u8"], 0, 0, -1.0)),
        ("normalize_raw", lambda: orvex.normalize_raw(raw, black, white, out=mono_out),
         lambda: LIBRARY.orvex_normalize_raw(d["raw"], d["mono_out"], black.ctypes.data, 1, 1, 1, white.ctypes.data,
                                             1, None, 0, None, 0, None, 0)),
        ("bilinear_demosaic", lambda: orvex.bilinear_demosaic(mono, cfa, out=rgb_out),
         lambda: LIBRARY.orvex_bilinear_demosaic(d["mono"], d["rgb_out"], cfa.ctypes.data)),
        ("transform_color", lambda: orvex.transform_color(rgb, matrix=matrix, out=rgb_out),
         lambda: LIBRARY.orvex_transform_color(d["rgb"], d["rgb_out"], None, 0, matrix.ctypes.data, None, 0, 0, 0,
                                               False)),
        ("apply_exposure_ramp", lambda: orvex.apply_exposure_ramp(rgb, 1.0, 0.0, 0.0, out=rgb_out),
         lambda: LIBRARY.orvex_apply_exposure_ramp(d["rgb"], d["rgb_out"], 1.0, 0.0, 0.0, False)),
        ("mono_lut", lambda: orvex.mono_lut(mono, lut, out=mono_out),
         lambda: LIBRARY.orvex_mono_lut(d["mono"], d["mono_out"], lut.ctypes.data, 256, 0, 0)),
        ("map_polynomial", lambda: orvex.map_polynomial(mono_out, poly),
         lambda: LIBRARY.orvex_map_polynomial(d["mono_out"], 0, 0, 0, 0, 0, 1, 1, 1, poly.ctypes.data, 1)),
        ("fix_bad_pixels_constant", lambda: orvex.fix_bad_pixels_constant(raw, 0, 1, out=raw_out),
         lambda: LIBRARY.orvex_fix_bad_pixels_constant(d["raw"], d["raw_out"], 0, 1)),
    ]


def sample(call, repetitions):
    times = []
    for _ in range(repetitions):
        start = time.perf_counter_ns()
        call()
        times.append((time.perf_counter_ns() - start) / 1000)
    return min(times), statistics.median(times)


def main():
    repetitions = int(sys.argv[1]) if len(sys.argv) > 1 else 200
    print(f"orvex {orvex.__version__}, {H} x {W} images, {repetitions} repetitions; microseconds, min / median")
    print(f"{'':26} {'':>17} {'':>17} {'':>12} {'wrapper alone, no-op library':>34}")
    print(f"{'function':26} {'wrapper':>17} {'direct C':>17} {'difference':>12} {'warm':>15} {'after a call':>18}")
    real_call = _functions.call
    for name, wrapper, direct in cases():
        wrapped, plain = [], []
        for _ in range(repetitions):  # interleaved, so both see the same machine load
            wrapped.append(sample(wrapper, 1)[0])
            plain.append(sample(direct, 1)[0])
        _functions.call = lambda *args: None
        try:
            alone = sample(wrapper, repetitions)
            after_call = []
            for _ in range(repetitions):
                direct()
                after_call.append(sample(wrapper, 1)[0])
        finally:
            _functions.call = real_call
        w = (min(wrapped), statistics.median(wrapped))
        c = (min(plain), statistics.median(plain))
        difference = statistics.median(x - y for x, y in zip(wrapped, plain))
        print(f"{name:26} {w[0]:8.1f} /{w[1]:8.1f} {c[0]:8.1f} /{c[1]:8.1f} {difference:12.1f} "
              f"{alone[0]:8.1f} /{alone[1]:6.1f} {min(after_call):10.1f} /{statistics.median(after_call):6.1f}")


if __name__ == "__main__":
    main()
