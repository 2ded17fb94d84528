"""Loads the orvex shared library and declares its C interface for ctypes.

ctypes releases the GIL for the whole of every call into the library.
"""

from __future__ import annotations

import ctypes
import os
import sys
from pathlib import Path

from ._errors import raise_for_status

LIBRARY_FILES = {"win32": "orvex_core.windows-amd64.dll", "darwin": "liborvex_core.dylib"}


class Image(ctypes.Structure):
    """The 48-byte image descriptor: rows without gaps, channels interleaved."""

    _fields_ = [
        ("data", ctypes.c_void_p),
        ("height", ctypes.c_uint64),
        ("width", ctypes.c_uint64),
        ("channels", ctypes.c_uint64),
        ("dtype", ctypes.c_uint32),
        ("alignment_gap", ctypes.c_uint32),
        ("reserved", ctypes.c_uint64),
    ]


_I = ctypes.POINTER(Image)
_P = ctypes.c_void_p
_i32, _u32, _u64 = ctypes.c_int32, ctypes.c_uint32, ctypes.c_uint64
_f32, _f64, _bool = ctypes.c_float, ctypes.c_double, ctypes.c_bool
_AREA = (_i32, _i32, _i32, _i32)
_PLACEMENT = (_f64, _f64, _f64, _f64)

# Parameter types of every export returning a status, by name without prefix.
SIGNATURES = {
    "convert_dtype": (_I, _I, _i32, _i32, _f32),
    "normalize_raw": (_I, _I, _P, _i32, _i32, _i32, _P, _i32, _P, _i32, _P, _i32, _P, _i32),
    "bilinear_demosaic": (_I, _I, _P),
    "vng_demosaic": (_I, _I, _P),
    "transform_color": (_I, _I, _P, _u64, _P, _P, _u64, _i32, _i32, _bool),
    "clip_and_transform_color": (_I, _I, _P, _P),
    "apply_hue_sat_map": (_I, _P, _i32, _i32, _i32),
    "apply_exposure_ramp": (_I, _I, _f64, _f64, _f64, _bool),
    "apply_profile_gain_table_map": (_I, _P, _i32, _i32, _f32, _f32, _f32, _f32, _i32, _P, _f32, _f32),
    "mono_lut": (_I, _I, _P, _u64, _i32, _i32),
    "apply_gain_map": (_I, _P, _i32, _i32, _i32, *_AREA, _i32, _i32, _i32, _i32, *_PLACEMENT),
    "apply_gain_map_cfa": (_I, _P, _i32, _i32, _i32, *_AREA, _i32, _i32, *_PLACEMENT),
    "apply_flat_gain_map": (_I, _P, _i32, _i32),
    "fix_vignette": (_I, _P, _i32, _f64, _f64),
    "warp_rectilinear": (_I, _I, _P, _i32, _i32, _P, _f64, _f64, _bool),
    "map_polynomial": (_I, *_AREA, _i32, _i32, _i32, _i32, _P, _i32),
    "fix_bad_pixels_constant": (_I, _I, _i32, _u32),
}


def library_path() -> Path:
    """The library to load: $ORVEX_LIBRARY, else the one shipped in the package."""
    override = os.environ.get("ORVEX_LIBRARY")
    if override:
        return Path(override)
    return Path(__file__).with_name(LIBRARY_FILES.get(sys.platform, "liborvex_core.so"))


def _load() -> ctypes.CDLL:
    path = library_path()
    try:
        library = ctypes.CDLL(str(path))
    except OSError as error:
        raise ImportError(f"orvex: cannot load the library {path} ({error}); set ORVEX_LIBRARY to a build") from None
    library.orvex_version.restype = ctypes.c_char_p
    library.orvex_version.argtypes = ()
    for name, argtypes in SIGNATURES.items():
        function = getattr(library, "orvex_" + name)
        function.restype = ctypes.c_int32
        function.argtypes = argtypes
    return library


LIBRARY = _load()
VERSION: str = LIBRARY.orvex_version().decode("ascii")


def call(name: str, *args) -> None:
    """Calls orvex_<name> and raises the exception its status stands for."""
    status = getattr(LIBRARY, "orvex_" + name)(*args)
    if status:
        raise_for_status(name, status)
