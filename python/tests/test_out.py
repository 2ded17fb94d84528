"""Destinations: `out=` is filled and returned; sharing memory with the source
is allowed only as an exact in-place call where the library reads each sample
before writing it."""

import numpy as np
import pytest

import orvex

f32 = np.float32
rng = np.random.default_rng(5)
RGB = rng.uniform(-0.1, 1.2, (6, 7, 3)).astype(f32)
MONO = rng.uniform(0, 1, (6, 7)).astype(f32)
RAW = rng.integers(0, 4096, (6, 7), dtype=np.uint16)
IDENTITY = np.eye(3)

IN_PLACE = {
    "convert_dtype": (RGB, lambda src, **o: orvex.convert_dtype(src, f32, clip_limit=0.75, **o)),
    "normalize_raw": (MONO * 4000, lambda src, **o: orvex.normalize_raw(src, [[10, 20], [30, 40]], [4000], **o)),
    "transform_color": (RGB, lambda src, **o: orvex.transform_color(src, input_curve=[0, 0.7, 1], matrix=IDENTITY,
                                                                     **o)),
    "clip_and_transform_color": (RGB, lambda src, **o: orvex.clip_and_transform_color(src, [0.9, 1, 1], IDENTITY, **o)),
    "apply_exposure_ramp": (RGB, lambda src, **o: orvex.apply_exposure_ramp(src, 0.9, 0.05, 0.02, **o)),
    "fix_bad_pixels_constant": (np.where(RAW % 5 == 0, 0, RAW).astype(np.uint16),
                                lambda src, **o: orvex.fix_bad_pixels_constant(src, 0, 2, **o)),
}


@pytest.mark.parametrize("name", sorted(IN_PLACE))
def test_out_is_filled_returned_and_may_be_the_source(name):
    source, run = IN_PLACE[name]
    expected = run(source.astype(source.dtype))
    out = np.empty_like(expected) if name != "fix_bad_pixels_constant" else source.copy()
    assert run(source.copy(), out=out) is out and out.tobytes() == expected.tobytes()
    shared = source.astype(source.dtype)  # a fresh writable copy
    assert run(shared, out=shared) is shared
    if name != "fix_bad_pixels_constant":  # repaired samples count as good neighbours in place
        assert shared.tobytes() == expected.tobytes()


@pytest.mark.parametrize("name", sorted(IN_PLACE))
def test_out_overlapping_the_source_is_rejected(name):
    source, run = IN_PLACE[name]
    buffer = np.concatenate([source, source[:1]]).astype(source.dtype)
    with pytest.raises(ValueError, match="out must be src itself or not overlap it"):
        run(buffer[:-1], out=buffer[1:])


@pytest.mark.parametrize("run", [
    lambda src, **o: orvex.mono_lut(src, [0, 1], **o),
    lambda src, **o: orvex.warp_rectilinear(src, [1, 0.01], **o),
])
def test_out_must_not_share_memory_where_the_library_reads_around(run):
    image = MONO.copy()
    with pytest.raises(ValueError, match="out must not share memory with src"):
        run(image, out=image)
    assert np.array_equal(image, MONO)


def test_in_place_functions_return_the_array_given():
    image, mosaic = RGB.clip(0, 1), MONO.copy()
    table = np.tile(np.array([10, 1, 1], f32), (6, 2, 1))
    for result, given in [
        (orvex.apply_hue_sat_map(image, table), image),
        (orvex.apply_profile_gain_table_map(image, np.ones((1, 1, 1)), map_spacing_v=1, map_spacing_h=1,
                                            input_weights=[1, 0, 0, 0, 0]), image),
        (orvex.apply_gain_map(image, np.ones((1, 1, 1)), map_spacing_v=1, map_spacing_h=1), image),
        (orvex.apply_gain_map_cfa(mosaic, np.ones((1, 1, 1)), map_spacing_v=1, map_spacing_h=1), mosaic),
        (orvex.apply_flat_gain_map(mosaic, np.ones((2, 2))), mosaic),
        (orvex.fix_vignette(image, [0.1]), image),
        (orvex.map_polynomial(mosaic, [0, 1]), mosaic),
    ]:
        assert result is given


def test_new_destinations_follow_the_source_shape_and_requested_type():
    assert orvex.bilinear_demosaic(MONO[..., None], [0, 1, 1, 2]).shape == (6, 7, 3)
    assert orvex.mono_lut(MONO, [0, 1], np.uint8).shape == (6, 7)
    assert orvex.mono_lut(MONO[..., None], [0, 1]).shape == (6, 7, 1)
    assert orvex.transform_color(RGB, out=np.empty((6, 7, 3), np.uint16), matrix=IDENTITY).dtype == np.uint16
    assert orvex.convert_dtype(MONO, out=np.empty((6, 7, 1), np.uint8)).shape == (6, 7, 1)
