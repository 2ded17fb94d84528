"""One function per export of the library, on NumPy arrays.

Functions that write a destination take `out=` and otherwise allocate and
return it; functions that work in place modify the image given and return it.
"""

from __future__ import annotations

from typing import Optional

import numpy as np
from numpy.typing import ArrayLike, DTypeLike, NDArray

from . import _args as a
from ._errors import InvalidArgumentError, UnsupportedError
from ._library import call

Array = NDArray


def _out_dtype(out: Optional[np.ndarray], dtype: Optional[DTypeLike], default: np.dtype) -> np.dtype:
    if dtype is None:
        return out.dtype.newbyteorder("=") if isinstance(out, np.ndarray) else default
    return a.dtype_of("dtype", dtype)


def _area(image: np.ndarray, top: int, left: int, bottom: int, right: int) -> tuple:
    """Area edges; all-zero rows (or columns) mean every row (or column)."""
    height, width = image.shape[:2]
    edges = [a.integer(n, v) for n, v in (("top", top), ("left", left), ("bottom", bottom), ("right", right))]
    rows = (0, height) if edges[0] == edges[2] == 0 else (edges[0], edges[2])
    cols = (0, width) if edges[1] == edges[3] == 0 else (edges[1], edges[3])
    if not (0 <= rows[0] <= rows[1] <= height and 0 <= cols[0] <= cols[1] <= width):
        raise InvalidArgumentError(
            f"area top={top}, left={left}, bottom={bottom}, right={right} must lie inside the "
            f"{height} x {width} image (0 <= top <= bottom <= height, 0 <= left <= right <= width)")
    return tuple(edges)


def _planes(image: np.ndarray, plane: int, planes: Optional[int]) -> tuple:
    channels = a.channels_of(image)
    plane = a.integer("plane", plane, 0, channels - 1)
    planes = channels - plane if planes is None else a.integer("planes", planes, 1)
    return plane, planes


def _pitches(row_pitch: int, col_pitch: int) -> tuple:
    return a.integer("row_pitch", row_pitch, 1), a.integer("col_pitch", col_pitch, 1)


def convert_dtype(src: Array, dtype: Optional[DTypeLike] = None, *, src_bits: int = 0, dst_bits: int = 0,
                  clip_limit: float = -1.0, out: Optional[Array] = None) -> Array:
    """Converts samples to another type, rescaling between the two nominal maxima.

    Parameters:
        src: image (H, W) or (H, W, C), uint8, uint16 or float32.
        dtype: destination type; default the dtype of `out`, else float32.
        src_bits: significant bits of integer source samples (1..31); 0 means the full range.
        dst_bits: significant bits of integer destination samples (1..31); 0 means the full range.
        clip_limit: upper limit of the scaled values in destination units; negative means none.
        out: destination of the same shape; `src` itself when both types have the same size.
    Returns: the destination. Floats become integers by truncation, keeping the low bits.
    """
    src = a.source("src", src)
    dtype = _out_dtype(out, dtype, a.FLOAT32)
    out = a.destination(out, src, dtype, src=src, in_place=dtype.itemsize == src.dtype.itemsize)
    call("convert_dtype", a.ref(a.describe(src)), a.ref(a.describe(out)), a.bits("src_bits", src_bits),
         a.bits("dst_bits", dst_bits), a.real("clip_limit", clip_limit))
    return out


def normalize_raw(src: Array, black_level: ArrayLike, white_level: ArrayLike, *,
                  black_level_rows: Optional[int] = None, black_level_cols: Optional[int] = None,
                  black_delta_h: Optional[ArrayLike] = None, black_delta_v: Optional[ArrayLike] = None,
                  linearization_table: Optional[ArrayLike] = None, out: Optional[Array] = None) -> Array:
    """Normalises raw values to floats in 0..1 against black and white levels.

    Parameters:
        src: raw image (H, W) or (H, W, C), uint16 or float32 (raw units).
        black_level: pattern of black levels, shape (rows, cols) for one channel or
            (rows, cols, C); or flat, with `black_level_rows` and `black_level_cols`.
        white_level: one white level per channel, or one for all (channel k uses entry k mod length).
        black_level_rows: rows of the black level pattern; default from the shape of `black_level`.
        black_level_cols: columns of the black level pattern; default from the shape of `black_level`.
        black_delta_h: per-column black offsets, column c uses entry c mod length; optional.
        black_delta_v: per-row black offsets, row r uses entry r mod length; optional.
        linearization_table: uint16 table that replaces each raw value first; optional.
        out: float32 destination of the shape of `src`; may be `src` itself when it is float32.
    Returns: the float32 destination.
    """
    src = a.source("src", src, (a.UINT16, a.FLOAT32))
    channels = a.channels_of(src)
    levels = np.asarray(black_level)
    if black_level_rows is None and black_level_cols is None and levels.ndim <= 1:
        black_level_rows = black_level_cols = 1
    dims = (("black_level_rows", black_level_rows), ("black_level_cols", black_level_cols))
    black, (rows, cols) = a.grid("black_level", levels, np.float32, dims, trailing=channels)
    white = a.table("white_level", white_level, np.float32)
    delta_h = a.optional_table("black_delta_h", black_delta_h, np.float32)
    delta_v = a.optional_table("black_delta_v", black_delta_v, np.float32)
    linear = a.optional_table("linearization_table", linearization_table, np.uint16)
    out = a.destination(out, src, a.FLOAT32, src=src, in_place=src.dtype == a.FLOAT32)
    call("normalize_raw", a.ref(a.describe(src)), a.ref(a.describe(out)), black.ctypes.data, rows, cols, channels,
         white.ctypes.data, white.size, a.pointer(delta_h), 0 if delta_h is None else delta_h.size,
         a.pointer(delta_v), 0 if delta_v is None else delta_v.size,
         a.pointer(linear), 0 if linear is None else linear.size)
    return out


def bilinear_demosaic(src: Array, cfa_pattern: ArrayLike, *, out: Optional[Array] = None) -> Array:
    """Demosaics a 2 x 2 colour filter mosaic by averaging the nearest neighbours.

    Parameters:
        src: float32 mosaic (H, W) or (H, W, 1).
        cfa_pattern: four colour codes (0 red, 1 green, 2 blue) of the 2 x 2 tile, row by row
            from the top-left pixel; RGGB is (0, 1, 1, 2).
        out: float32 destination (H, W, 3), not sharing memory with `src`.
    Returns: the (H, W, 3) float32 image; channel k holds colour code k.
    """
    src = a.source("src", src, a.FLOAT, (1,))
    pattern = a.table("cfa_pattern", cfa_pattern, np.uint32, 4, low=0, high=2)
    out = a.destination(out, src, a.FLOAT32, 3, src=src)
    call("bilinear_demosaic", a.ref(a.describe(src)), a.ref(a.describe(out)), pattern.ctypes.data)
    return out


def vng_demosaic(src: Array, cfa_pattern: ArrayLike, *, out: Optional[Array] = None) -> Array:
    """Variable-number-of-gradients demosaic: not provided by the library.

    Parameters:
        src: float32 mosaic (H, W).
        cfa_pattern: four colour codes of the 2 x 2 tile.
        out: float32 destination (H, W, 3).
    Raises: orvex.UnsupportedError (a NotImplementedError) on every call.
    """
    src = a.source("src", src, a.FLOAT, (1,))
    pattern = a.table("cfa_pattern", cfa_pattern, np.uint32, 4, low=0, high=2)
    out = a.destination(out, src, a.FLOAT32, 3, src=src)
    call("vng_demosaic", a.ref(a.describe(src)), a.ref(a.describe(out)), pattern.ctypes.data)
    return out


def transform_color(src: Array, dtype: Optional[DTypeLike] = None, *, input_curve: Optional[ArrayLike] = None,
                    matrix: Optional[ArrayLike] = None, output_curve: Optional[ArrayLike] = None,
                    src_bits: int = 0, dst_bits: int = 0, preserve_hue: bool = False,
                    out: Optional[Array] = None) -> Array:
    """Transforms colours through an input curve, a 3 x 3 matrix and an output curve.

    At least one of `input_curve`, `matrix` and `output_curve` is given. Without
    a matrix only one curve is applied (the input curve when both are given).

    Parameters:
        src: (H, W, 3) image, uint8, uint16 or float32.
        dtype: destination type; default the dtype of `out`, else the dtype of `src`.
        input_curve: curve over the source's nominal range, at least 1 entry.
        matrix: nine values, row-major; row k yields output channel k.
        output_curve: curve over 0..1 giving output levels, at least 1 entry.
        src_bits: bit depth of integer source samples (1..31); 0 means the full range.
        dst_bits: bit depth of integer destination samples (1..31); 0 means the full range.
        preserve_hue: apply the input curve keeping each pixel's hue (float32 `src` only).
        out: (H, W, 3) destination; may be `src` itself when the types are equal.
    Returns: the destination.
    """
    src = a.source("src", src, a.ANY, (3,))
    dtype = _out_dtype(out, dtype, src.dtype)
    curve_in = a.optional_table("input_curve", input_curve, np.float32)
    coefficients = a.optional_table("matrix", matrix, np.float32, 9)
    curve_out = a.optional_table("output_curve", output_curve, np.float32)
    if curve_in is None and coefficients is None and curve_out is None:
        raise InvalidArgumentError("give at least one of input_curve, matrix and output_curve")
    hue = a.flag("preserve_hue", preserve_hue)
    if hue and (src.dtype != a.FLOAT32 or curve_in is None):
        raise UnsupportedError("preserve_hue=True needs a float32 src and an input_curve")
    if hue and coefficients is None and dtype != a.FLOAT32:
        raise UnsupportedError("preserve_hue=True without a matrix needs a float32 destination")
    out = a.destination(out, src, dtype, src=src, in_place=dtype == src.dtype)
    call("transform_color", a.ref(a.describe(src)), a.ref(a.describe(out)), a.pointer(curve_in),
         0 if curve_in is None else curve_in.size, a.pointer(coefficients), a.pointer(curve_out),
         0 if curve_out is None else curve_out.size, a.bits("src_bits", src_bits), a.bits("dst_bits", dst_bits), hue)
    return out


def clip_and_transform_color(src: Array, clip_limits: ArrayLike, matrix: ArrayLike, *,
                             out: Optional[Array] = None) -> Array:
    """Bounds each channel from above, applies a 3 x 3 matrix and clamps to 0..1.

    Parameters:
        src: float32 image (H, W, 3).
        clip_limits: three upper bounds, one per input channel.
        matrix: nine values, row-major; row k yields output channel k.
        out: float32 destination (H, W, 3); may be `src` itself.
    Returns: the destination.
    """
    src = a.source("src", src, a.FLOAT, (3,))
    limits = a.table("clip_limits", clip_limits, np.float32, 3)
    coefficients = a.table("matrix", matrix, np.float32, 9)
    out = a.destination(out, src, a.FLOAT32, src=src, in_place=True)
    call("clip_and_transform_color", a.ref(a.describe(src)), a.ref(a.describe(out)), limits.ctypes.data,
         coefficients.ctypes.data)
    return out


def apply_hue_sat_map(image: Array, table: ArrayLike, hue_divisions: Optional[int] = None,
                      sat_divisions: Optional[int] = None, val_divisions: Optional[int] = None) -> Array:
    """Adjusts hue, saturation and value of every pixel by a table, in place.

    Parameters:
        image: float32 RGB image (H, W, 3), modified in place.
        table: entries of (hue shift in degrees, saturation scale, value scale), shape
            (hue_divisions, sat_divisions, 3) or (val_divisions, hue_divisions, sat_divisions, 3),
            or flat with the divisions given.
        hue_divisions: hue divisions, at least 1; default from the table's shape.
        sat_divisions: saturation divisions, at least 1; default from the table's shape.
        val_divisions: value divisions; 0 or 1 select the two-dimensional table; default from the
            table's shape (0 for a three-axis table).
    Returns: `image`.
    """
    image = a.writable("image", image, a.FLOAT, (3,))
    values = np.asarray(table)
    if hue_divisions is None or sat_divisions is None:
        if values.ndim not in (3, 4) or values.shape[-1] != 3:
            raise InvalidArgumentError("pass hue_divisions and sat_divisions, or a table of shape "
                                       f"(hue, sat, 3) or (val, hue, sat, 3); got shape {values.shape}")
        hue_divisions = values.shape[-3] if hue_divisions is None else hue_divisions
        sat_divisions = values.shape[-2] if sat_divisions is None else sat_divisions
        val_divisions = values.shape[0] if val_divisions is None and values.ndim == 4 else val_divisions
    hue = a.integer("hue_divisions", hue_divisions, 1)
    sat = a.integer("sat_divisions", sat_divisions, 1)
    val = a.integer("val_divisions", 0 if val_divisions is None else val_divisions, 0)
    flat = a.table("table", values, np.float32, 3 * hue * sat * max(val, 1))
    call("apply_hue_sat_map", a.ref(a.describe(image)), flat.ctypes.data, hue, sat, val)
    return image


def apply_exposure_ramp(src: Array, white: float, black: float = 0.0, toe_width: float = 0.0, *,
                        unclipped: bool = False, out: Optional[Array] = None) -> Array:
    """Maps samples by a straight ramp from `black` to `white` with a quadratic toe.

    Parameters:
        src: float32 image (H, W, 3).
        white: sample value that maps to 1.
        black: sample value where the straight ramp starts from 0.
        toe_width: largest full width of the toe around `black`; 0 means no toe.
        unclipped: True lets the straight part exceed 1.
        out: float32 destination (H, W, 3); may be `src` itself.
    Returns: the destination.
    """
    src = a.source("src", src, a.FLOAT, (3,))
    out = a.destination(out, src, a.FLOAT32, src=src, in_place=True)
    call("apply_exposure_ramp", a.ref(a.describe(src)), a.ref(a.describe(out)), a.real("white", white),
         a.real("black", black), a.real("toe_width", toe_width), a.flag("unclipped", unclipped))
    return out


def apply_profile_gain_table_map(image: Array, table: ArrayLike, *, map_spacing_v: float, map_spacing_h: float,
                                 map_origin_v: float = 0.0, map_origin_h: float = 0.0,
                                 input_weights: ArrayLike, gamma: float = 1.0, input_scale: float = 1.0,
                                 map_points_v: Optional[int] = None, map_points_h: Optional[int] = None,
                                 map_points_n: Optional[int] = None) -> Array:
    """Scales every pixel by a gain chosen by its position and brightness, in place.

    Parameters:
        image: float32 RGB image (H, W, 3), modified in place.
        table: gains, shape (map_points_v, map_points_h, map_points_n), or flat with the sizes given.
        map_spacing_v: distance between map rows, relative to the image height.
        map_spacing_h: distance between map columns, relative to the image width.
        map_origin_v: relative position of map row 0.
        map_origin_h: relative position of map column 0.
        input_weights: five weights of R, G, B, min(R, G, B) and max(R, G, B).
        gamma: exponent of the brightness measure; 1 means none.
        input_scale: factor of the weighted sum.
        map_points_v: map rows; default from the table's shape.
        map_points_h: map columns; default from the table's shape.
        map_points_n: table points per map point; default from the table's shape.
    Returns: `image`.
    """
    image = a.writable("image", image, a.FLOAT, (3,))
    dims = (("map_points_v", map_points_v), ("map_points_h", map_points_h), ("map_points_n", map_points_n))
    gains, (rows, cols, points) = a.grid("table", table, np.float32, dims)
    weights = a.table("input_weights", input_weights, np.float32, 5)
    call("apply_profile_gain_table_map", a.ref(a.describe(image)), gains.ctypes.data, rows, cols,
         a.real("map_spacing_v", map_spacing_v), a.real("map_spacing_h", map_spacing_h),
         a.real("map_origin_v", map_origin_v), a.real("map_origin_h", map_origin_h), points, weights.ctypes.data,
         a.real("gamma", gamma), a.real("input_scale", input_scale))
    return image


def mono_lut(src: Array, lut: ArrayLike, dtype: Optional[DTypeLike] = None, *, src_bits: int = 0,
             dst_bits: int = 0, out: Optional[Array] = None) -> Array:
    """Maps a one-channel image through a tone table, changing the sample type.

    Parameters:
        src: one-channel image (H, W) or (H, W, 1), uint8, uint16 or float32.
        lut: at least 2 output levels (0..1) over the source's nominal range.
        dtype: destination type; default the dtype of `out`, else the dtype of `src`.
        src_bits: bit depth of integer source samples (1..31); 0 means the full range.
        dst_bits: bit depth of integer destination samples (1..31); 0 means the full range.
        out: one-channel destination of the shape of `src`, not sharing memory with it.
    Returns: the destination.
    """
    src = a.source("src", src, a.ANY, (1,))
    levels = a.table("lut", lut, np.float32, minimum=2)
    out = a.destination(out, src, _out_dtype(out, dtype, src.dtype), src=src)
    call("mono_lut", a.ref(a.describe(src)), a.ref(a.describe(out)), levels.ctypes.data, levels.size,
         a.bits("src_bits", src_bits), a.bits("dst_bits", dst_bits))
    return out


def _gain_map(name: str, image: Array, channels: int, map: ArrayLike, sizes: tuple, area: tuple, planes: tuple,
              pitches: tuple, placement: tuple) -> Array:
    image = a.writable("image", image, a.FLOAT, (channels,))
    dims = tuple(zip(("map_points_v", "map_points_h", "map_planes"), sizes))
    gains, dimensions = a.grid("map", map, np.float32, dims)
    spacing_names = ("map_spacing_v", "map_spacing_h", "map_origin_v", "map_origin_h")
    edges = (a.integer(n, v) for n, v in zip(("top", "left", "bottom", "right"), area))
    call(name, a.ref(a.describe(image)), gains.ctypes.data, *dimensions, *edges,
         *planes, *_pitches(*pitches), *(a.real(n, v) for n, v in zip(spacing_names, placement)))
    return image


def apply_gain_map(image: Array, map: ArrayLike, *, map_spacing_v: float, map_spacing_h: float,
                   map_origin_v: float = 0.0, map_origin_h: float = 0.0, top: int = 0, left: int = 0,
                   bottom: int = 0, right: int = 0, plane: int = 0, planes: Optional[int] = None,
                   row_pitch: int = 1, col_pitch: int = 1, map_points_v: Optional[int] = None,
                   map_points_h: Optional[int] = None, map_planes: Optional[int] = None) -> Array:
    """Scales an area of a three-channel image by an interpolated gain map, in place.

    Parameters:
        image: float32 image (H, W, 3), modified in place; results are clamped to 0..1.
        map: gains, shape (map_points_v, map_points_h, map_planes), or flat with the sizes given.
        map_spacing_v: distance between map rows, relative to the image height.
        map_spacing_h: distance between map columns, relative to the image width.
        map_origin_v: relative position of map row 0.
        map_origin_h: relative position of map column 0.
        top: first row of the area; negative counts as 0.
        left: first column of the area; negative counts as 0.
        bottom: end row of the area (exclusive); 0, negative or beyond the height means the height.
        right: end column of the area (exclusive); 0, negative or beyond the width means the width.
        plane: first channel processed.
        planes: number of channels processed; default every channel from `plane` on.
        row_pitch: step between processed rows, at least 1.
        col_pitch: step between processed columns, at least 1.
        map_points_v: map rows; default from the map's shape.
        map_points_h: map columns; default from the map's shape.
        map_planes: map planes (channel p uses plane min(p, map_planes - 1)); default from the map's shape.
    Returns: `image`.
    """
    image = a.writable("image", image, a.FLOAT, (3,))
    return _gain_map("apply_gain_map", image, 3, map, (map_points_v, map_points_h, map_planes),
                     (top, left, bottom, right), _planes(image, plane, planes), (row_pitch, col_pitch),
                     (map_spacing_v, map_spacing_h, map_origin_v, map_origin_h))


def apply_gain_map_cfa(image: Array, map: ArrayLike, *, map_spacing_v: float, map_spacing_h: float,
                       map_origin_v: float = 0.0, map_origin_h: float = 0.0, top: int = 0, left: int = 0,
                       bottom: int = 0, right: int = 0, row_pitch: int = 1, col_pitch: int = 1,
                       map_points_v: Optional[int] = None, map_points_h: Optional[int] = None,
                       map_planes: Optional[int] = None) -> Array:
    """Scales an area of a one-channel mosaic by an interpolated gain map, in place.

    Parameters:
        image: float32 mosaic (H, W) or (H, W, 1), modified in place; results are clamped to 0..1.
        map: gains, shape (map_points_v, map_points_h, map_planes), or flat with the sizes given.
        map_spacing_v: distance between map rows, relative to the image height.
        map_spacing_h: distance between map columns, relative to the image width.
        map_origin_v: relative position of map row 0.
        map_origin_h: relative position of map column 0.
        top: first row of the area; negative counts as 0.
        left: first column of the area; negative counts as 0.
        bottom: end row of the area (exclusive); 0, negative or beyond the height means the height.
        right: end column of the area (exclusive); 0, negative or beyond the width means the width.
        row_pitch: step between processed rows, at least 1 (2 for one site of a Bayer mosaic).
        col_pitch: step between processed columns, at least 1.
        map_points_v: map rows; default from the map's shape.
        map_points_h: map columns; default from the map's shape.
        map_planes: map planes (plane 0 is used); default from the map's shape.
    Returns: `image`.
    """
    return _gain_map("apply_gain_map_cfa", image, 1, map, (map_points_v, map_points_h, map_planes),
                     (top, left, bottom, right), (), (row_pitch, col_pitch),
                     (map_spacing_v, map_spacing_h, map_origin_v, map_origin_h))


def apply_flat_gain_map(image: Array, map: ArrayLike, map_rows: Optional[int] = None,
                        map_cols: Optional[int] = None) -> Array:
    """Scales a one-channel image by a grid of gains spread over it, in place.

    Parameters:
        image: float32 image (H, W) or (H, W, 1) with at least one row and column, modified in place.
        map: gains, shape (map_rows, map_cols), or flat with the sizes given.
        map_rows: grid rows, at least 2; default from the map's shape.
        map_cols: grid columns, at least 2; default from the map's shape.
    Returns: `image`.
    """
    image = a.writable("image", image, a.FLOAT, (1,))
    if image.size == 0:
        raise InvalidArgumentError(f"image must have at least one row and column, got shape {image.shape}")
    gains, (rows, cols) = a.grid("map", map, np.float32, (("map_rows", map_rows), ("map_cols", map_cols)))
    a.integer("map_rows", rows, 2), a.integer("map_cols", cols, 2)
    call("apply_flat_gain_map", a.ref(a.describe(image)), gains.ctypes.data, rows, cols)
    return image


def fix_vignette(image: Array, coefficients: ArrayLike, center_x: float = 0.5, center_y: float = 0.5) -> Array:
    """Divides out a radial fall-off: gain 1 + k0 r^2 + k1 r^4 + ..., in place, clamped to 0..1.

    Parameters:
        image: float32 image (H, W) or (H, W, C), modified in place.
        coefficients: 1 to 5 used values k0, k1, ... (further values are ignored).
        center_x: optical centre as a fraction of the width.
        center_y: optical centre as a fraction of the height.
    Returns: `image`.
    """
    image = a.writable("image", image, a.FLOAT)
    values = a.table("coefficients", coefficients, np.float64)
    call("fix_vignette", a.ref(a.describe(image)), values.ctypes.data, a.integer("coefficients length", values.size),
         a.real("center_x", center_x), a.real("center_y", center_y))
    return image


def warp_rectilinear(src: Array, coefficients: ArrayLike, tangential: Optional[ArrayLike] = None, *,
                     center_x: float = 0.5, center_y: float = 0.5, cubic: bool = False,
                     planes: Optional[int] = None, coefficient_count: Optional[int] = None,
                     out: Optional[Array] = None) -> Array:
    """Resamples an image through a radial and tangential lens model.

    Parameters:
        src: float32 image (H, W) or (H, W, C).
        coefficients: radial coefficients kr0..kr3, shape (planes, coefficient_count), plane i
            driving channel i; or one flat set for every channel.
        tangential: two tangential coefficients per plane, shape (planes, 2), or one pair with a
            flat set of radial coefficients; None for none.
        center_x: optical centre as a fraction of the width.
        center_y: optical centre as a fraction of the height.
        cubic: True for cubic resampling, False for bilinear.
        planes: number of coefficient sets; default from the shape of `coefficients`.
        coefficient_count: radial coefficients per plane; default from the shape of `coefficients`.
        out: float32 destination of the shape of `src`, not sharing memory with it. Channels
            beyond `planes` are not written (a new `out` holds zeros there).
    Returns: the destination.
    """
    src = a.source("src", src, a.FLOAT)
    values = np.asarray(coefficients)
    if planes is None and coefficient_count is None and values.ndim <= 1:  # one set for every channel
        values = np.tile(values, (a.channels_of(src), 1))
        tangential = None if tangential is None else np.tile(np.asarray(tangential).ravel(), values.shape[0])
    radial, (count_planes, count) = a.grid("coefficients", values, np.float64,
                                           (("planes", planes), ("coefficient_count", coefficient_count)))
    tangent = a.optional_table("tangential", tangential, np.float64, 2 * count_planes)
    fresh = out is None
    out = a.destination(out, src, a.FLOAT32, src=src)
    if fresh and count_planes < a.channels_of(src):
        out.fill(0)
    call("warp_rectilinear", a.ref(a.describe(src)), a.ref(a.describe(out)), radial.ctypes.data, count_planes, count,
         a.pointer(tangent), a.real("center_x", center_x), a.real("center_y", center_y), a.flag("cubic", cubic))
    return out


def map_polynomial(image: Array, coefficients: ArrayLike, *, top: int = 0, left: int = 0, bottom: int = 0,
                   right: int = 0, plane: int = 0, planes: Optional[int] = None, row_pitch: int = 1,
                   col_pitch: int = 1) -> Array:
    """Replaces samples of an area by a polynomial of their value, in place, clamped to -1..1.

    Parameters:
        image: float32 image (H, W), (H, W, 1) or (H, W, 3), modified in place.
        coefficients: c0 ... c_degree, at least one value; negative samples mirror through c0.
        top: first row of the area.
        left: first column of the area.
        bottom: end row of the area (exclusive); 0 with `top` 0 means every row.
        right: end column of the area (exclusive); 0 with `left` 0 means every column.
        plane: first channel processed.
        planes: number of channels processed; default every channel from `plane` on.
        row_pitch: step between processed rows, at least 1.
        col_pitch: step between processed columns, at least 1.
    Returns: `image`.
    """
    image = a.writable("image", image, a.FLOAT, (1, 3))
    values = a.table("coefficients", coefficients, np.float32)
    call("map_polynomial", a.ref(a.describe(image)), *_area(image, top, left, bottom, right),
         *_planes(image, plane, planes), *_pitches(row_pitch, col_pitch), values.ctypes.data,
         a.integer("degree", values.size - 1))
    return image


def fix_bad_pixels_constant(src: Array, constant: int, bayer_phase: int = 0, *, out: Optional[Array] = None) -> Array:
    """Repairs mosaic samples holding a marker value from their same-colour neighbours.

    Parameters:
        src: uint16 mosaic (H, W) or (H, W, 1).
        constant: marker value of bad samples, 0..65535.
        bayer_phase: phase of the colour filter pattern, 0..3 (0 and 3: green where row + column is even).
        out: uint16 destination holding the image already (a copy of `src`, or `src` itself for an
            in-place repair); only repaired samples are written. Default: a copy of `src`.
    Returns: the destination.
    """
    src = a.source("src", src, (a.UINT16,), (1,))
    marker = a.integer("constant", constant, 0, 65535)
    phase = a.integer("bayer_phase", bayer_phase, 0, 3)
    out = src.copy() if out is None else a.destination(out, src, a.UINT16, src=src, in_place=True)
    call("fix_bad_pixels_constant", a.ref(a.describe(src)), a.ref(a.describe(out)), marker, phase)
    return out
