"""orvex on NumPy: raw-development operations with the bits of the C library.

Images are NumPy arrays of shape (H, W) or (H, W, C) and dtype uint8, uint16
or float32. Every error is an `orvex.Error`; wrong dtypes raise a TypeError,
wrong shapes, lengths and values a ValueError, unsupported combinations a
NotImplementedError. The GIL is released during every library call.
"""

from ._errors import DtypeError, Error, InvalidArgumentError, ShapeMismatchError, UnsupportedError
from ._functions import (
    apply_exposure_ramp,
    apply_flat_gain_map,
    apply_gain_map,
    apply_gain_map_cfa,
    apply_hue_sat_map,
    apply_profile_gain_table_map,
    bilinear_demosaic,
    clip_and_transform_color,
    convert_dtype,
    fix_bad_pixels_constant,
    fix_vignette,
    map_polynomial,
    mono_lut,
    normalize_raw,
    transform_color,
    vng_demosaic,
    warp_rectilinear,
)
from ._library import VERSION as __version__
from ._library import library_path
from ._strips import map_strips

__all__ = [
    "convert_dtype", "normalize_raw", "bilinear_demosaic", "vng_demosaic", "transform_color",
    "clip_and_transform_color", "apply_hue_sat_map", "apply_exposure_ramp", "apply_profile_gain_table_map",
    "mono_lut", "apply_gain_map", "apply_gain_map_cfa", "apply_flat_gain_map", "fix_vignette",
    "warp_rectilinear", "map_polynomial", "fix_bad_pixels_constant", "map_strips", "library_path",
    "Error", "DtypeError", "InvalidArgumentError", "ShapeMismatchError", "UnsupportedError", "__version__",
]
