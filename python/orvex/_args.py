"""Argument checks and descriptors shared by every wrapper.

Images are NumPy arrays of shape (H, W) or (H, W, C) and dtype uint8, uint16
or float32. Images that are only read are copied when they are not
C-contiguous, aligned and in native byte order; images that are written must
already be, and are rejected otherwise, so the library never sees wrong memory.
"""

from __future__ import annotations

import ctypes
import math
import numbers
import operator
from typing import Any, Iterable, Optional, Sequence, Tuple

import numpy as np

from ._errors import DtypeError, InvalidArgumentError
from ._library import Image

UINT8, UINT16, FLOAT32 = np.dtype(np.uint8), np.dtype(np.uint16), np.dtype(np.float32)
ANY = (UINT8, UINT16, FLOAT32)
FLOAT = (FLOAT32,)
CODES = {UINT8: 0, UINT16: 1, FLOAT32: 3}
INT32_MIN, INT32_MAX = -(2**31), 2**31 - 1


def _names(dtypes: Sequence[np.dtype]) -> str:
    names = [str(d) for d in dtypes]
    return names[0] if len(names) == 1 else ", ".join(names[:-1]) + " or " + names[-1]


def _image(name: str, array: Any, dtypes: Sequence[np.dtype], channels: Optional[Iterable[int]]) -> np.ndarray:
    if not isinstance(array, np.ndarray):
        raise DtypeError(f"{name} must be a numpy.ndarray, got {type(array).__name__}")
    native = array.dtype.newbyteorder("=")
    if native not in dtypes:
        raise DtypeError(f"{name} must have dtype {_names(dtypes)}, got {array.dtype}")
    if array.ndim not in (2, 3):
        raise InvalidArgumentError(f"{name} must have shape (H, W) or (H, W, C), got {array.shape}")
    if array.size > INT32_MAX:
        raise InvalidArgumentError(f"{name} must hold fewer than 2**31 samples, got shape {array.shape}")
    if channels is not None and channels_of(array) not in channels:
        expected = " or ".join(str(c) for c in channels)
        raise InvalidArgumentError(f"{name} must have {expected} channel(s), got shape {array.shape}")
    return array


def channels_of(array: np.ndarray) -> int:
    return 1 if array.ndim == 2 else array.shape[2]


def source(name: str, array: Any, dtypes: Sequence[np.dtype] = ANY,
           channels: Optional[Iterable[int]] = None) -> np.ndarray:
    """An image that is only read: checked, then copied if its memory is not plain."""
    array = _image(name, array, dtypes, channels)
    flags = array.flags
    if not (flags.c_contiguous and flags.aligned and array.dtype.isnative):
        array = np.ascontiguousarray(array, dtype=array.dtype.newbyteorder("="))
    return array


def writable(name: str, array: Any, dtypes: Sequence[np.dtype] = ANY,
             channels: Optional[Iterable[int]] = None) -> np.ndarray:
    """An image that is written: checked, and rejected unless its memory can be written as it is."""
    array = _image(name, array, dtypes, channels)
    flags = array.flags
    if not array.dtype.isnative:
        raise InvalidArgumentError(f"{name} must be in native byte order, got dtype {array.dtype.str}")
    if not (flags.c_contiguous and flags.aligned):
        raise InvalidArgumentError(f"{name} must be C-contiguous and aligned; pass np.ascontiguousarray({name})")
    if not flags.writeable:
        raise InvalidArgumentError(f"{name} is read-only; pass a writable array")
    return array


def destination(out: Optional[np.ndarray], like: np.ndarray, dtype: np.dtype, channels: Optional[int] = None,
                src: Optional[np.ndarray] = None, in_place: bool = False) -> np.ndarray:
    """`out` checked against the expected dtype and size, or a new array.

    An `out` sharing memory with `src` is accepted only when `in_place` allows
    it and it is exactly `src`'s memory.
    """
    height, width = like.shape[:2]
    channels = channels_of(like) if channels is None else channels
    if out is None:
        return np.empty((height, width) if channels == 1 and like.ndim == 2 else (height, width, channels), dtype)
    out = writable("out", out, (dtype,))
    if out.shape[:2] != (height, width) or channels_of(out) != channels:
        expected = (height, width) if channels == 1 else (height, width, channels)
        raise InvalidArgumentError(f"out must have shape {expected}, got {out.shape}")
    if src is not None and out.size and np.may_share_memory(out, src):
        same = out.ctypes.data == src.ctypes.data and out.nbytes == src.nbytes
        if not (in_place and same):
            rule = "be src itself or not overlap it" if in_place else "not share memory with src"
            raise InvalidArgumentError(f"out must {rule}")
    return out


def describe(array: np.ndarray) -> Image:
    height, width = array.shape[:2]
    return Image(array.ctypes.data, height, width, 1 if array.ndim == 2 else array.shape[2],
                 CODES[array.dtype.newbyteorder("=")], 0, 0)


def pointer(array: Optional[np.ndarray]) -> Optional[int]:
    return None if array is None else array.ctypes.data


def ref(image: Image) -> Any:
    return ctypes.byref(image)


def table(name: str, values: Any, dtype: Any, length: Optional[int] = None, minimum: int = 1,
          low: Optional[int] = None, high: Optional[int] = None) -> np.ndarray:
    """A parameter table as a flat C-contiguous array of `dtype`, checked for length and range."""
    try:
        array = values if isinstance(values, np.ndarray) else np.asarray(values)
    except (TypeError, ValueError) as error:
        raise DtypeError(f"{name} must be an array of numbers ({error})") from None
    integral = np.dtype(dtype).kind in "iu"
    kinds = "biu" if integral else "biuf"
    if array.dtype.kind not in kinds:
        what = "integers" if integral else "real numbers"
        raise DtypeError(f"{name} must hold {what}, got dtype {array.dtype}")
    flat = array.reshape(-1)
    if length is not None and flat.size != length:
        raise InvalidArgumentError(f"{name} must have {length} values, got {flat.size}")
    if flat.size < minimum:
        raise InvalidArgumentError(f"{name} must have at least {minimum} value(s), got {flat.size}")
    if integral and flat.size:
        info = np.iinfo(dtype)
        low = info.min if low is None else low
        high = info.max if high is None else high
        small = flat.tolist() if flat.size <= 64 else None  # Python's min and max are quicker on a few values
        least, most = (min(small), max(small)) if small else (int(flat.min()), int(flat.max()))
        if least < low or most > high:
            raise InvalidArgumentError(f"{name} values must lie in {low}..{high}, got {least}..{most}")
    return flat if flat.dtype == dtype and flat.flags.c_contiguous else np.ascontiguousarray(flat, dtype=dtype)


def optional_table(name: str, values: Any, dtype: Any, length: Optional[int] = None) -> Optional[np.ndarray]:
    return None if values is None else table(name, values, dtype, length)


def grid(name: str, values: Any, dtype: Any, dims: Sequence[Tuple[str, Optional[int]]], trailing: int = 1,
         ) -> Tuple[np.ndarray, Tuple[int, ...]]:
    """A table sized by dimensions: each given in `dims`, or else read from the table's own shape.

    `trailing` is the number of values per grid point that the shape may carry
    as its last axis (3 for hue/saturation/value entries).
    """
    array = values if isinstance(values, np.ndarray) else np.asarray(values)
    per_point_axis = array.ndim == len(dims) + 1 and array.shape[-1] == trailing
    shape = array.shape[:-1] if per_point_axis else array.shape
    missing = [dim_name for dim_name, given in dims if given is None]
    known = math.prod(given for _, given in dims if given is not None)
    sizes = []
    for axis, (dim_name, given) in enumerate(dims):
        if given is None and len(shape) == len(dims):
            given = shape[axis]
        elif given is None and len(missing) == 1 and known > 0 and array.size % (known * trailing) == 0:
            given = array.size // (known * trailing)
        elif given is None:
            names = ", ".join(d for d, _ in dims)
            raise InvalidArgumentError(f"pass {names}, or a {name} of {len(dims)} dimensions; got shape {array.shape}")
        sizes.append(integer(dim_name, given, 1))
    length = trailing * math.prod(sizes)
    return table(name, array, dtype, length), tuple(sizes)


def integer(name: str, value: Any, low: int = INT32_MIN, high: int = INT32_MAX) -> int:
    try:
        number = operator.index(value)
    except TypeError:
        raise DtypeError(f"{name} must be an integer, got {type(value).__name__}") from None
    if not low <= number <= high:
        raise InvalidArgumentError(f"{name} must lie in {low}..{high}, got {number}")
    return number


def real(name: str, value: Any) -> float:
    if not isinstance(value, numbers.Real):
        raise DtypeError(f"{name} must be a real number, got {type(value).__name__}")
    return float(value)


def flag(name: str, value: Any) -> bool:
    if not isinstance(value, (bool, np.bool_, numbers.Integral)):
        raise DtypeError(f"{name} must be a bool, got {type(value).__name__}")
    return bool(value)


def dtype_of(name: str, value: Any) -> np.dtype:
    try:
        result = np.dtype(value)
    except TypeError:
        raise DtypeError(f"{name} must be uint8, uint16 or float32, got {value!r}") from None
    if result not in ANY:
        raise DtypeError(f"{name} must be uint8, uint16 or float32, got {result}")
    return result


def bits(name: str, value: Any) -> int:
    return integer(name, value, 0, 31)
