"""Type stubs of utmconv, the conversions of the utmconv program on numbers and NumPy arrays."""

from typing import Literal, overload

import numpy as np
import numpy.typing as npt

__version__: str
#: The captions of the transfer kinds 0 to 7, in order.
TRANSFER_KINDS: list[str]
#: The names of the coordinate systems of transform.
SYSTEMS: list[str]

_Float = float | int | np.floating | np.integer
_Array = npt.NDArray[np.float64]
_Ellipsoid = Literal["everest", "wgs84"]
_Errors = Literal["raise", "nan"]
_System = Literal[
    "everest81",
    "everest84",
    "everest87",
    "wgs84-44",
    "wgs84-45",
    "latlong-everest",
    "latlong-wgs84",
]

@overload
def to_xy(
    lat: _Float,
    lon: _Float,
    *,
    cm: float,
    ellipsoid: _Ellipsoid,
    latlong_datum: _Ellipsoid | None = None,
    errors: _Errors = "raise",
) -> tuple[float, float]:
    """Latitude and longitude (decimal degrees) to X and Y (metres), as utmconv point --to-xy."""

@overload
def to_xy(
    lat: npt.ArrayLike,
    lon: npt.ArrayLike,
    *,
    cm: float,
    ellipsoid: _Ellipsoid,
    latlong_datum: _Ellipsoid | None = None,
    errors: _Errors = "raise",
) -> tuple[_Array, _Array]: ...
@overload
def to_latlong(
    x: _Float,
    y: _Float,
    *,
    cm: float,
    ellipsoid: _Ellipsoid,
    latlong_datum: _Ellipsoid | None = None,
    errors: _Errors = "raise",
) -> tuple[float, float]:
    """X and Y (metres) to latitude and longitude (decimal degrees), as utmconv point --to-latlong."""

@overload
def to_latlong(
    x: npt.ArrayLike,
    y: npt.ArrayLike,
    *,
    cm: float,
    ellipsoid: _Ellipsoid,
    latlong_datum: _Ellipsoid | None = None,
    errors: _Errors = "raise",
) -> tuple[_Array, _Array]: ...
@overload
def transfer(
    x: _Float,
    y: _Float,
    *,
    kind: int | str,
    datum_shift: str = "none",
    errors: _Errors = "raise",
) -> tuple[float, float]:
    """X and Y moved to another grid, as utmconv transfer --kind K --datum-shift SHIFT."""

@overload
def transfer(
    x: npt.ArrayLike,
    y: npt.ArrayLike,
    *,
    kind: int | str,
    datum_shift: str = "none",
    errors: _Errors = "raise",
) -> tuple[_Array, _Array]: ...
@overload
def transform(
    first: _Float,
    second: _Float,
    *,
    source: _System | str,
    target: _System | str,
    datum_shift: str = "none",
    errors: _Errors = "raise",
) -> tuple[float, float]:
    """Pairs moved between two coordinate systems, as utmconv transform --from --to."""

@overload
def transform(
    first: npt.ArrayLike,
    second: npt.ArrayLike,
    *,
    source: _System | str,
    target: _System | str,
    datum_shift: str = "none",
    errors: _Errors = "raise",
) -> tuple[_Array, _Array]: ...
