"""orvex on NumPy: raw-development operations with the bits of the C library.

Images are NumPy arrays of shape (H, W) or (H, W, C) and dtype uint8, uint16
or float32. Every error is an `orvex.Error`; wrong dtypes raise a TypeError,
wrong shapes, lengths and values a ValueError, unsupported combinations a
NotImplementedError. The GIL is released during every library call.
"""

from ._errors import DtypeError, Error, InvalidArgumentError, ShapeMismatchError, UnsupportedError
from ._functions import *  # noqa: F401,F403
from ._functions import __all__ as _exports
from ._library import VERSION as __version__
from ._library import library_path
from ._strips import map_strips

__all__ = [*_exports, "map_strips", "library_path", "Error", "DtypeError", "InvalidArgumentError",
           "ShapeMismatchError", "UnsupportedError", "__version__"]
