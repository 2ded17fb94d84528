"""Exact results of each function on cases whose values the C tests also pin."""

import numpy as np
import pytest

import orvex

f32 = np.float32
nan = np.nan


def bits(array):
    return np.asarray(array, f32).view(np.uint32)


def test_convert_dtype_truncates_and_wraps_into_integers():
    floats = np.array([[1.0, 0.5, 1.2, -0.1, nan]], f32)
    assert orvex.convert_dtype(floats, np.uint8).tolist() == [[255, 127, 50, 231, 0]]
    assert orvex.convert_dtype(floats, np.uint8, clip_limit=255).tolist() == [[255, 127, 50, 231, 0]]
    assert orvex.convert_dtype(floats, np.uint8, clip_limit=254.5).tolist() == [[254, 127, 254, 231, 254]]
    assert orvex.convert_dtype(np.array([[2.0, 0.25]], f32), clip_limit=1.5).tolist() == [[1.5, 0.25]]
    assert orvex.convert_dtype(np.array([[4095, 0]], np.uint16), np.uint16, src_bits=12).tolist() == [[65534, 0]]
    assert orvex.convert_dtype(np.array([[65535]], np.uint16), np.uint8).tolist() == [[255]]
    assert orvex.convert_dtype(np.array([[255]], np.uint8), np.uint16).tolist() == [[65535]]
    assert orvex.convert_dtype(np.array([[65535]], np.uint16)).tolist() == [[1.0]]


def test_convert_dtype_keeps_the_shape_and_defaults_to_float32():
    result = orvex.convert_dtype(np.zeros((2, 3, 4), np.uint8))
    assert result.shape == (2, 3, 4) and result.dtype == f32


def test_normalize_raw_fast_and_general_rules():
    raw = np.array([[256, 100, 5000, 2176, 4095]], np.uint16)
    fast = orvex.normalize_raw(raw, [256], [4095])
    factor = f32(1) / f32(3839)
    assert bits(fast).ravel().tolist() == bits([0, 0, 1, f32(1920) * factor, f32(3839) * factor]).tolist()
    assert fast[0, 4] == f32(0.99999994)
    general = orvex.normalize_raw(raw, [256], [4095], black_delta_h=[0])
    assert general[0, 4] == 1.0


def test_normalize_raw_black_pattern_repeats_from_the_corner():
    raw = np.full((3, 3), 500, np.uint16)
    result = orvex.normalize_raw(raw, [[100, 200], [300, 400]], [1000])
    expected = {(0, 0): 400 / 900, (0, 1): 300 / 800, (1, 0): 200 / 700, (1, 1): 100 / 600, (2, 2): 400 / 900}
    for (r, c), value in expected.items():
        assert result[r, c] == pytest.approx(value, rel=1e-6)


def test_normalize_raw_linearization_table_and_channel_white_levels():
    result = orvex.normalize_raw(np.array([[9]], np.uint16), [0], [100], linearization_table=[0, 10, 20, 50])
    assert result[0, 0] == f32(0.5)
    rgb = np.full((1, 1, 3), 50, np.uint16)
    per_channel = orvex.normalize_raw(rgb, [[[0, 0, 0]]], [100, 200, 50])
    assert per_channel.ravel().tolist() == [0.5, 0.25, 1.0]


def test_bilinear_demosaic_averages_neighbours():
    mosaic = np.array([[10, 20], [30, 40]], f32)
    result = orvex.bilinear_demosaic(mosaic, [0, 1, 1, 2])
    assert result.shape == (2, 2, 3)
    assert result.reshape(4, 3).tolist() == [[10, 25, 40], [10, 20, 40], [10, 30, 40], [10, 25, 40]]
    assert orvex.bilinear_demosaic(np.array([[7]], f32), [1, 1, 1, 1]).tolist() == [[[0, 7, 0]]]


def test_vng_demosaic_is_not_provided():
    with pytest.raises(NotImplementedError) as error:
        orvex.vng_demosaic(np.zeros((2, 2), f32), [0, 1, 1, 2])
    assert isinstance(error.value, orvex.UnsupportedError) and error.value.status == 2


def test_transform_color_stage_sets():
    pixel = np.array([[[0.2, 0.5, 0.8]]], f32)
    identity = np.eye(3)
    assert orvex.transform_color(pixel, matrix=identity).tolist() == pixel.tolist()
    curve = [0, 1, 1]
    assert orvex.transform_color(np.array([[[0.1, 0.4, 0.7]]], f32), input_curve=curve).ravel() == pytest.approx(
        [0.2, 0.8, 1.0], abs=1e-6)
    hue = orvex.transform_color(np.array([[[0.1, 0.4, 0.7]]], f32), input_curve=curve, preserve_hue=True)
    assert hue.ravel() == pytest.approx([0.2, 0.6, 1.0], abs=1e-6)
    wrapped = orvex.transform_color(pixel, np.uint8, matrix=identity, output_curve=[1.2, 1.2])
    assert wrapped.ravel().tolist() == [50, 50, 50]
    samples = np.array([[[1.0, 2.0, -0.5]], [[nan, 0.5, 0.5]]], f32)
    assert orvex.transform_color(samples, input_curve=[0.1, 0.2, 0.3]).reshape(-1).tolist() == pytest.approx(
        [0.3, 0.3, 0.1, 0.3, 0.2, 0.2])


def test_transform_color_direct_8_bit_lookup():
    curve = np.linspace(0, 1, 256, dtype=f32)[::-1].copy()
    image = np.array([[[0, 10, 255]]], np.uint8)
    assert orvex.transform_color(image, input_curve=curve, src_bits=6).ravel().tolist() == [255, 245, 0]


def test_clip_and_transform_color_bounds_then_clamps():
    src = np.array([[[0.2, 0.5, 0.9], [1.5, -0.5, 0.3], [nan, 0.5, 0.5]]], f32)
    result = orvex.clip_and_transform_color(src, [1, 1, 0.7], np.eye(3))
    assert result.tolist() == [[[f32(0.2), 0.5, f32(0.7)], [1.0, 0.0, f32(0.3)], [1.0, 0.5, 0.5]]]


def test_apply_hue_sat_map_identity_limits_the_value():
    image = np.array([[[2, 1, 1], [0.25, 0.5, 0.75]]], f32)
    before = image.copy()
    table = np.tile(np.array([0, 1, 1], f32), (6, 4, 1))
    assert orvex.apply_hue_sat_map(image, table) is image
    assert image[0, 0].tolist() == [1.0, 0.5, 0.5]
    assert image[0, 1] == pytest.approx(before[0, 1], abs=1e-6)
    flat = before.copy()
    orvex.apply_hue_sat_map(flat, table.ravel(), hue_divisions=6, sat_divisions=4, val_divisions=1)
    assert flat.tobytes() == image.tobytes()
    three = before.copy()
    orvex.apply_hue_sat_map(three, np.stack([table * [1, 1, 0.5], table]))  # value scale 0.5 at value 0
    assert three[0, 1, 2] == pytest.approx(0.75 * (0.25 * 0.5 + 0.75), rel=1e-6)


def test_apply_exposure_ramp_toe_and_clip():
    src = np.array([[[0.05, 0.1, 0.15], [nan, 2.0, 0.5]]], f32)
    result = orvex.apply_exposure_ramp(src, 1.0, 0.1, 0.1)
    assert result.ravel()[:3] == pytest.approx([0, 0.05 * 0.05 * (0.25 / 0.045), 0.05 / 0.9], rel=1e-5)
    assert result[0, 1, :2].tolist() == [0.0, 1.0]
    assert orvex.apply_exposure_ramp(src, 1.0, 0.1, 0.1, unclipped=True)[0, 1, 1] == pytest.approx(1.9 / 0.9)


def test_apply_profile_gain_table_map_clamps_each_channel():
    image = np.array([[[0.6, 0.3, 0.1], [0.4, -0.2, 0.9]]], f32)
    orvex.apply_profile_gain_table_map(image, [[[2.0]]], map_spacing_v=1, map_spacing_h=1,
                                       input_weights=[0.3, 0.3, 0.3, 0, 0])
    assert image.tolist() == [[[1.0, f32(0.6), f32(0.2)], [f32(0.8), 0.0, 1.0]]]
    image = np.full((1, 1, 3), 0.5, f32)
    orvex.apply_profile_gain_table_map(image, [[[1.0, 0.5]]], map_spacing_v=1, map_spacing_h=1,
                                       input_weights=[0, 0, 0, 0, 0])  # brightness 0: table point 0
    assert image.ravel().tolist() == [0.5, 0.5, 0.5]


def test_mono_lut_modes():
    identity = (np.arange(256, dtype=f32) / f32(255))
    ramp = np.arange(256, dtype=np.uint8).reshape(16, 16)
    assert orvex.mono_lut(ramp, identity).tobytes() == ramp.tobytes()
    assert orvex.mono_lut(np.array([[7]], np.uint8), np.full(256, 0.999, f32)).tolist() == [[254]]
    floats = np.array([[0.5, 1.5, np.inf, -1, -np.inf, nan]], f32)
    assert orvex.mono_lut(floats, [0.1, 0.2, 0.3]).tolist() == [[f32(0.2), f32(0.3), f32(0.3), f32(0.1),
                                                                 f32(0.1), f32(0.3)]]
    assert orvex.mono_lut(floats, [2, 2], np.uint16, dst_bits=12).tolist() == [[4095] * 6]
    assert orvex.mono_lut(floats, [-1, nan], np.uint8).tolist() == [[0] * 6]


def test_apply_gain_map_planes_and_clamp():
    image = np.full((2, 2, 3), 0.5, f32)
    orvex.apply_gain_map(image, [[[1.5, 0.5]]], map_spacing_v=1, map_spacing_h=1)
    assert image[0, 0].tolist() == [0.75, 0.25, 0.25]
    image = np.full((2, 2, 3), 0.5, f32)
    orvex.apply_gain_map(image, [[[3.0]]], map_spacing_v=1, map_spacing_h=1, plane=1, planes=1, left=1)
    assert image.tolist() == [[[0.5] * 3, [0.5, 1.0, 0.5]], [[0.5] * 3, [0.5, 1.0, 0.5]]]


def test_apply_gain_map_cfa_pitch():
    mosaic = np.full((4, 4), 0.25, f32)
    orvex.apply_gain_map_cfa(mosaic, np.full((2, 2, 1), 2.0, f32), map_spacing_v=1, map_spacing_h=1,
                             row_pitch=2, col_pitch=2)
    assert (mosaic[::2, ::2] == 0.5).all() and mosaic.sum() == pytest.approx(0.25 * 12 + 0.5 * 4)


def test_apply_flat_gain_map_grid_points():
    image = np.ones((4, 4), f32)
    orvex.apply_flat_gain_map(image, [[1, 2], [3, 4]])
    assert image[0, 0] == 1 and image[0, 2] == 2 and image[2, 0] == 3 and image[2, 2] == 4


def test_fix_vignette_gain_by_radius():
    image = np.full((6, 8), 0.5, f32)
    orvex.fix_vignette(image, [0.5])
    assert image[3, 4] == 0.5
    assert image[3, 0] == pytest.approx(0.5 * (1 + 0.5 * 0.64), rel=1e-6)
    assert orvex.fix_vignette(np.array([[1.5, -1]], f32), [0]).tolist() == [[1.0, 0.0]]


def test_warp_rectilinear_identity_copies():
    rng = np.random.default_rng(3)
    src = rng.random((9, 11, 3), dtype=f32)
    assert orvex.warp_rectilinear(src, [1, 0, 0, 0]).tobytes() == src.tobytes()
    cubic = orvex.warp_rectilinear(src, [1, 0, 0, 0], cubic=True)
    assert cubic[2:-3, 2:-3].tobytes() == src[2:-3, 2:-3].tobytes()
    one_plane = orvex.warp_rectilinear(src, [[1, 0, 0, 0]], out=np.full_like(src, 7))
    assert (one_plane[..., 1:] == 7).all() and one_plane[..., 0].tobytes() == src[..., 0].copy().tobytes()
    assert (orvex.warp_rectilinear(src, [[1, 0]])[..., 1:] == 0).all()  # a new out holds zeros beyond planes
    assert orvex.warp_rectilinear(src, [1, 0], [0, 0]).tobytes() == src.tobytes()  # one set for every channel


def test_map_polynomial_odd_extension_and_area():
    image = np.array([[0.5, -0.5, nan, 2.0]], f32)
    orvex.map_polynomial(image, [0, 0, 1])
    assert image.tolist() == [[0.25, -0.25, -1.0, 1.0]]
    area = np.zeros((3, 30), f32)
    orvex.map_polynomial(area, [0.5], left=10, right=20)
    assert (area[:, 10:20] == 0.5).all() and area.sum() == pytest.approx(15)


def test_fix_bad_pixels_constant_repairs_from_neighbours():
    src = np.array([[1, 5, 2], [5, 5, 5], [1, 5, 2]], np.uint16)
    out = orvex.fix_bad_pixels_constant(src, 5, 0)
    assert out[1, 1] == 2 and src[1, 1] == 5  # green site: diagonals 1, 2, 1, 2 give (6 + 2) >> 2
    in_place = src.copy()
    assert orvex.fix_bad_pixels_constant(in_place, 5, 0, out=in_place) is in_place
