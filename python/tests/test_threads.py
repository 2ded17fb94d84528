"""Library calls run without the GIL, and map_strips gives the bytes of one call."""

import sys
import threading
import time

import numpy as np
import pytest

import orvex

f32 = np.float32


def long_call(image, out):
    """A call of well over 100 ms on this image: cubic warp of a strong lens model."""
    orvex.warp_rectilinear(image, [1.0, 0.05, -0.02, 0.01], [0.001, -0.001], cubic=True, out=out)


def test_two_threads_run_library_calls_at_the_same_time():
    image = np.random.default_rng(1).random((1500, 1500, 3), dtype=f32)
    outs = [np.empty_like(image) for _ in range(2)]
    long_call(image, outs[0])  # builds the cubic weight table once, before the threads start
    intervals = [None, None]
    barrier = threading.Barrier(2)

    def worker(index):
        barrier.wait()
        start = time.perf_counter()
        long_call(image, outs[index])
        intervals[index] = (start, time.perf_counter())

    switch = sys.getswitchinterval()
    sys.setswitchinterval(10.0)  # a thread holding the GIL would keep it for the whole call
    try:
        threads = [threading.Thread(target=worker, args=(i,)) for i in range(2)]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
    finally:
        sys.setswitchinterval(switch)
    (start0, end0), (start1, end1) = intervals
    assert max(start0, start1) < min(end0, end1), f"the calls did not overlap: {intervals}"
    assert outs[0].tobytes() == outs[1].tobytes()


rng = np.random.default_rng(9)
RGB = rng.uniform(-0.1, 1.3, (203, 67, 3)).astype(f32)
RGB16 = rng.integers(0, 65536, (203, 67, 3), dtype=np.uint16)
MONO = rng.uniform(-0.1, 1.3, (203, 67)).astype(f32)
HSV_TABLE = np.stack([rng.uniform(-30, 30, 2 * 6 * 5), rng.uniform(0.6, 1.4, 60), rng.uniform(0.7, 1.3, 60)],
                     axis=1).astype(f32).reshape(2, 6, 5, 3)
STRIP_CASES = {
    "convert_dtype": (orvex.convert_dtype, RGB16, (np.uint8,), {"src_bits": 12}),
    "transform_color": (orvex.transform_color, RGB16, (f32,), {"input_curve": np.linspace(0, 1, 9) ** 0.5,
                                                               "matrix": [1.2, -0.1, -0.1, 0, 1, 0, -0.2, 0, 1.2],
                                                               "output_curve": np.linspace(0, 1, 5) ** 2}),
    "clip_and_transform_color": (orvex.clip_and_transform_color, RGB, ([0.9, 1, 1.1], np.eye(3) * 0.9), {}),
    "apply_exposure_ramp": (orvex.apply_exposure_ramp, RGB, (0.9, 0.05, 0.1), {"unclipped": True}),
    "apply_hue_sat_map": (orvex.apply_hue_sat_map, RGB, (HSV_TABLE,), {}),
    "mono_lut": (orvex.mono_lut, MONO, (np.linspace(0, 1, 33) ** 2, np.uint16), {"dst_bits": 14}),
}


@pytest.mark.parametrize("name", sorted(STRIP_CASES))
@pytest.mark.parametrize("threads, strip_rows", [(3, None), (4, 7), (2, 500)])
def test_map_strips_gives_the_bytes_of_one_call(name, threads, strip_rows):
    fn, image, args, kwargs = STRIP_CASES[name]
    whole = fn(image.copy(), *args, **kwargs)
    strips = orvex.map_strips(fn, image.copy(), *args, threads=threads, strip_rows=strip_rows, **kwargs)
    assert strips.dtype == whole.dtype and strips.shape == whole.shape
    assert strips.tobytes() == whole.tobytes()


def test_map_strips_fills_out_and_works_in_place():
    out = np.empty(RGB.shape, f32)
    assert orvex.map_strips(orvex.apply_exposure_ramp, RGB, 1.0, threads=2, out=out) is out
    assert out.tobytes() == orvex.apply_exposure_ramp(RGB, 1.0).tobytes()
    image = RGB.copy()
    assert orvex.map_strips(orvex.apply_hue_sat_map, image, HSV_TABLE, threads=2) is image
    with pytest.raises(ValueError, match="works in place and takes no out"):
        orvex.map_strips(orvex.apply_hue_sat_map, image, HSV_TABLE, out=out)
    short = np.zeros((RGB.shape[0] - 1,) + RGB.shape[1:], f32)
    with pytest.raises(ValueError, match="out must have 203 rows"):
        orvex.map_strips(orvex.apply_exposure_ramp, RGB, 1.0, out=short)
    narrow = np.full((RGB.shape[0], 5, 3), 7, f32)
    with pytest.raises(ValueError, match=r"out must have shape \(0, 67, 3\)"):
        orvex.map_strips(orvex.apply_exposure_ramp, RGB, 1.0, out=narrow)
    assert (narrow == 7).all()
    with pytest.raises(TypeError, match="table must hold real numbers"):
        orvex.map_strips(orvex.apply_hue_sat_map, image, np.full((6, 2, 3), "x"))
    with pytest.raises(ValueError, match="threads"):
        orvex.map_strips(orvex.mono_lut, MONO, [0, 1], threads=0)
