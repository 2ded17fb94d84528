"""Every kind of bad argument gets an exception of the orvex family that names it."""

import numpy as np
import pytest

import orvex
from orvex._errors import raise_for_status

f32 = np.float32
RGB = np.zeros((4, 5, 3), f32)
MONO = np.zeros((4, 5), f32)
IDENTITY = np.eye(3)
MAP = dict(map_spacing_v=1.0, map_spacing_h=1.0)


@pytest.mark.parametrize("call, kind, words", [
    # Image types and shapes.
    (lambda: orvex.convert_dtype(np.zeros((2, 2), np.float64)), TypeError,
     ["src", "uint8, uint16 or float32", "float64"]),
    (lambda: orvex.convert_dtype([[1.0]]), TypeError, ["src", "numpy.ndarray", "list"]),
    (lambda: orvex.convert_dtype(np.zeros(4, f32)), ValueError, ["src", "(H, W) or (H, W, C)", "(4,)"]),
    (lambda: orvex.convert_dtype(np.broadcast_to(np.uint8(0), (2**16, 2**15))), ValueError, ["src", "2**31 samples"]),
    (lambda: orvex.normalize_raw(np.zeros((2, 2), np.uint8), [0], [1]), TypeError, ["src", "uint16 or float32"]),
    (lambda: orvex.bilinear_demosaic(RGB, [0, 1, 1, 2]), ValueError, ["src", "1 channel", "(4, 5, 3)"]),
    (lambda: orvex.transform_color(MONO, matrix=IDENTITY), ValueError, ["src", "3 channel"]),
    (lambda: orvex.map_polynomial(np.zeros((2, 2, 2), f32), [0]), ValueError, ["image", "1 or 3 channel"]),
    (lambda: orvex.fix_bad_pixels_constant(MONO, 0), TypeError, ["src", "uint16", "float32"]),
    (lambda: orvex.convert_dtype(MONO, np.int16), TypeError, ["dtype", "int16"]),
    (lambda: orvex.convert_dtype(MONO, "no such type"), TypeError, ["dtype"]),
    # Table lengths, contents and dimensions.
    (lambda: orvex.bilinear_demosaic(MONO, [0, 1, 1]), ValueError, ["cfa_pattern", "4 values", "got 3"]),
    (lambda: orvex.bilinear_demosaic(MONO, [0, 1, 1, 3]), ValueError, ["cfa_pattern", "0..2", "3"]),
    (lambda: orvex.bilinear_demosaic(MONO, [0, 1, 1, -1]), ValueError, ["cfa_pattern", "0..2"]),
    (lambda: orvex.bilinear_demosaic(MONO, [0, 1, 1, 1.5]), TypeError, ["cfa_pattern", "integers", "float64"]),
    (lambda: orvex.clip_and_transform_color(RGB, [1, 1, 1], np.eye(4)), ValueError, ["matrix", "9 values", "16"]),
    (lambda: orvex.clip_and_transform_color(RGB, [1, 1], IDENTITY), ValueError, ["clip_limits", "3 values"]),
    (lambda: orvex.clip_and_transform_color(RGB, ["a", "b", "c"], IDENTITY), TypeError,
     ["clip_limits", "real numbers"]),
    (lambda: orvex.transform_color(RGB, input_curve=[]), ValueError, ["input_curve", "at least 1"]),
    (lambda: orvex.mono_lut(MONO, [0.5]), ValueError, ["lut", "at least 2", "got 1"]),
    (lambda: orvex.normalize_raw(MONO, [[0, 0, 0]], [1], black_level_rows=2), ValueError, ["black_level"]),
    (lambda: orvex.normalize_raw(MONO, [0], []), ValueError, ["white_level", "at least 1"]),
    (lambda: orvex.normalize_raw(MONO, [0], [1], linearization_table=[70000]), ValueError,
     ["linearization_table", "0..65535"]),
    (lambda: orvex.apply_hue_sat_map(RGB, np.zeros((6, 4))), ValueError, ["hue_divisions", "sat_divisions", "(6, 4)"]),
    (lambda: orvex.apply_hue_sat_map(RGB, np.zeros(70), 6, 4), ValueError, ["table", "72 values", "70"]),
    (lambda: orvex.apply_hue_sat_map(RGB, np.zeros(72), 6, 4, -1), ValueError, ["val_divisions", "-1"]),
    (lambda: orvex.apply_hue_sat_map(RGB, np.zeros(72), 0, 4), ValueError, ["hue_divisions", "0"]),
    (lambda: orvex.apply_profile_gain_table_map(RGB, np.ones((2, 2, 2)), input_weights=[1, 1, 1, 1], **MAP),
     ValueError, ["input_weights", "5 values"]),
    (lambda: orvex.apply_profile_gain_table_map(RGB, np.ones(8), map_points_v=2, map_points_h=2, map_points_n=3,
                                                input_weights=[0] * 5, **MAP), ValueError, ["table", "12 values"]),
    (lambda: orvex.apply_gain_map(RGB, np.ones(5), **MAP), ValueError, ["map_points_v", "map_planes"]),
    (lambda: orvex.apply_flat_gain_map(MONO, np.ones((1, 3))), ValueError, ["map_rows", "2.."]),
    (lambda: orvex.fix_vignette(MONO, []), ValueError, ["coefficients", "at least 1"]),
    (lambda: orvex.warp_rectilinear(RGB, [[1, 0]] * 3, [0, 0]), ValueError, ["tangential", "6 values"]),
    (lambda: orvex.map_polynomial(MONO, []), ValueError, ["coefficients", "at least 1"]),
    # Scalars.
    (lambda: orvex.convert_dtype(MONO, np.uint16, dst_bits=32), ValueError, ["dst_bits", "0..31", "32"]),
    (lambda: orvex.convert_dtype(MONO, np.uint16, dst_bits=12.0), TypeError, ["dst_bits", "integer", "float"]),
    (lambda: orvex.convert_dtype(MONO, clip_limit="1"), TypeError, ["clip_limit", "real number"]),
    (lambda: orvex.apply_exposure_ramp(RGB, None), TypeError, ["white", "real number"]),
    (lambda: orvex.apply_exposure_ramp(RGB, 1.0, unclipped="yes"), TypeError, ["unclipped", "bool"]),
    (lambda: orvex.map_polynomial(MONO, [0], row_pitch=0), ValueError, ["row_pitch", "1..", "0"]),
    (lambda: orvex.map_polynomial(MONO, [0], bottom=5), ValueError, ["area", "bottom=5", "4 x 5"]),
    (lambda: orvex.map_polynomial(MONO, [0], left=-1, right=3), ValueError, ["area", "left=-1"]),
    (lambda: orvex.map_polynomial(RGB, [0], plane=3), ValueError, ["plane", "0..2", "3"]),
    (lambda: orvex.map_polynomial(RGB, [0], planes=0), ValueError, ["planes", "1.."]),
    (lambda: orvex.apply_gain_map(RGB, np.ones((1, 1, 1)), col_pitch=-2, **MAP), ValueError, ["col_pitch"]),
    (lambda: orvex.apply_gain_map(RGB, np.ones((1, 1, 1)), top=2**31, **MAP), ValueError, ["top", "2147483647"]),
    (lambda: orvex.apply_flat_gain_map(np.zeros((0, 3), f32), np.ones((2, 2))), ValueError, ["image", "one row"]),
    (lambda: orvex.fix_bad_pixels_constant(np.zeros((2, 2), np.uint16), 65536), ValueError, ["constant", "0..65535"]),
    (lambda: orvex.fix_bad_pixels_constant(np.zeros((2, 2), np.uint16), 0, 4), ValueError, ["bayer_phase", "0..3"]),
    # Unsupported combinations.
    (lambda: orvex.transform_color(RGB), ValueError, ["input_curve", "matrix", "output_curve"]),
    (lambda: orvex.transform_color(RGB.astype(np.uint16), input_curve=[0, 1], preserve_hue=True),
     NotImplementedError, ["preserve_hue", "float32 src"]),
    (lambda: orvex.transform_color(RGB, matrix=IDENTITY, preserve_hue=True), NotImplementedError, ["input_curve"]),
    (lambda: orvex.transform_color(RGB, np.uint8, input_curve=[0, 1], preserve_hue=True),
     NotImplementedError, ["float32 destination"]),
    (lambda: orvex.map_strips(orvex.warp_rectilinear, RGB, [1]), NotImplementedError,
     ["per-pixel", "warp_rectilinear"]),
])
def test_bad_argument_raises_an_orvex_error_naming_it(call, kind, words):
    with pytest.raises(kind) as error:
        call()
    assert isinstance(error.value, orvex.Error)
    for word in words:
        assert word in str(error.value)


@pytest.mark.parametrize("out, kind, words", [
    (np.zeros((4, 5, 3), np.float64), TypeError, ["out", "float32", "float64"]),
    (np.zeros((4, 6, 3), f32), ValueError, ["out", "(4, 5, 3)", "(4, 6, 3)"]),
    (np.zeros((4, 5, 4), f32), ValueError, ["out", "(4, 5, 3)"]),
    (np.zeros((4, 10, 3), f32)[:, ::2], ValueError, ["out", "C-contiguous"]),
    (np.zeros((4, 5, 3), ">f4"), ValueError, ["out", "native byte order", ">f4"]),
])
def test_bad_destination_is_rejected_and_left_untouched(out, kind, words):
    before = out.copy()
    with pytest.raises(kind) as error:
        orvex.clip_and_transform_color(RGB + 0.5, [1, 1, 1], IDENTITY, out=out)
    for word in words:
        assert word in str(error.value)
    assert np.array_equal(out, before)


def test_read_only_image_is_not_changed_in_place():
    image = np.full((2, 2), 0.5, f32)
    image.flags.writeable = False
    with pytest.raises(ValueError, match="image is read-only"):
        orvex.map_polynomial(image, [0])
    with pytest.raises(ValueError, match="out is read-only"):
        orvex.convert_dtype(image, out=image)


def test_non_contiguous_image_is_rejected_in_place_and_copied_when_read():
    wide = np.linspace(0, 1, 40, dtype=f32).reshape(4, 10)
    with pytest.raises(ValueError, match="image must be C-contiguous"):
        orvex.map_polynomial(wide[:, ::2], [0])
    assert orvex.convert_dtype(wide[:, ::2], np.uint8).tolist() == orvex.convert_dtype(wide[:, ::2].copy(),
                                                                                        np.uint8).tolist()
    fortran = np.asfortranarray(np.arange(12, dtype=np.uint16).reshape(3, 4))
    assert orvex.convert_dtype(fortran, np.uint16).tolist() == fortran.tolist()


def test_byte_swapped_source_is_read_by_value():
    swapped = np.array([[1, 256, 65535]], ">u2")
    assert orvex.convert_dtype(swapped, np.uint8).tolist() == [[0, 0, 255]]
    assert orvex.convert_dtype(swapped).tobytes() == orvex.convert_dtype(swapped.astype(np.uint16)).tobytes()
    with pytest.raises(ValueError, match="native byte order"):
        orvex.fix_vignette(np.zeros((2, 2), ">f4"), [0])


def test_unaligned_source_is_copied():
    buffer = np.zeros(4 * 6 + 1, np.uint8)
    unaligned = buffer[1:].view(f32).reshape(2, 3)
    unaligned[...] = 0.5
    assert not unaligned.flags.aligned
    assert orvex.convert_dtype(unaligned, np.uint8).tolist() == [[127] * 3] * 2


@pytest.mark.parametrize("status, kind, name", [
    (1, orvex.InvalidArgumentError, "ORVEX_ERR_INVALID_ARGUMENT"),
    (2, orvex.UnsupportedError, "ORVEX_ERR_UNSUPPORTED"),
    (3, orvex.ShapeMismatchError, "ORVEX_ERR_SHAPE_MISMATCH"),
    (7, orvex.Error, "unknown status"),
])
def test_library_statuses_map_to_the_exception_family(status, kind, name):
    with pytest.raises(kind) as error:
        raise_for_status("mono_lut", status)
    assert error.value.status == status and name in str(error.value) and "orvex_mono_lut" in str(error.value)


def test_exception_family_meets_the_builtin_kinds():
    assert issubclass(orvex.DtypeError, TypeError)
    assert issubclass(orvex.InvalidArgumentError, ValueError)
    assert issubclass(orvex.ShapeMismatchError, orvex.InvalidArgumentError)
    assert issubclass(orvex.UnsupportedError, NotImplementedError)
    assert all(issubclass(k, orvex.Error) for k in (orvex.DtypeError, orvex.InvalidArgumentError,
                                                    orvex.UnsupportedError))
