"""The exception family: every error the package raises is an orvex.Error."""

from __future__ import annotations


class Error(Exception):
    """Base of every orvex error. `status` is the library's code, or None."""

    status: int | None = None


class DtypeError(Error, TypeError):
    """An image or table of a sample type the function does not take."""


class InvalidArgumentError(Error, ValueError):
    """A wrong shape, length or value (library status ORVEX_ERR_INVALID_ARGUMENT)."""


class ShapeMismatchError(InvalidArgumentError):
    """Source and destination differ in size (library status ORVEX_ERR_SHAPE_MISMATCH)."""


class UnsupportedError(Error, NotImplementedError):
    """A combination the library does not handle (library status ORVEX_ERR_UNSUPPORTED)."""


STATUS_ERRORS = {
    1: (InvalidArgumentError, "ORVEX_ERR_INVALID_ARGUMENT"),
    2: (UnsupportedError, "ORVEX_ERR_UNSUPPORTED"),
    3: (ShapeMismatchError, "ORVEX_ERR_SHAPE_MISMATCH"),
}


def raise_for_status(function: str, status: int) -> None:
    kind, name = STATUS_ERRORS.get(status, (Error, "an unknown status"))
    error = kind(f"orvex_{function} returned {name} ({status})")
    error.status = status
    raise error
