"""The Python module utmconv against the utmconv program and the one-point
conversions behind it.

ctest runs this with PYTHONPATH holding the built module, UTMCONV the
program and UTM_PYTHON_PROBE the helper that prints the exact results of the
one-point conversions (PointConversion, GridTransform::Apply) as hexadecimal
floats: the program prints 15 significant digits, the helper every bit.
"""

import ast
import concurrent.futures
import os
import re
import subprocess
import threading

import numpy as np
import pytest

import utmconv

UTMCONV = os.environ["UTMCONV"]
PROBE = os.environ["UTM_PYTHON_PROBE"]
STUB = os.path.join(os.path.dirname(utmconv.__file__), "utmconv.pyi")

HELMERT_PV = "helmert-pv:293.17,726.18,245.36,0.5,-0.3,0.2,1.5"
HELMERT_CF = "helmert-cf:290,720,250,-1.2,0.4,0.9,-2.5"


def rng(seed):
    return np.random.default_rng(abs(int(seed)))


def probe(args, first, second):
    """The exact results of the one-point conversion for each pair, NaN where it
    throws, and the messages of those that throw (by index)."""
    text = "".join(f"{a.hex()} {b.hex()}\n" for a, b in zip(first.tolist(), second.tolist()))
    lines = subprocess.run(
        [PROBE, *args], input=text, capture_output=True, text=True, check=True
    ).stdout.splitlines()
    assert len(lines) == len(first)
    a = np.empty(len(lines))
    b = np.empty(len(lines))
    reasons = {}
    for i, line in enumerate(lines):
        if line.startswith("! "):
            a[i] = b[i] = np.nan
            reasons[i] = line[2:]
        else:
            a[i], b[i] = (float.fromhex(v) for v in line.split())
    return a, b, reasons


def assert_same_bits(result, expected):
    result = np.asarray(result, dtype=np.float64)
    expected = np.asarray(expected, dtype=np.float64)
    assert result.shape == expected.shape
    nan = np.isnan(expected)
    np.testing.assert_array_equal(np.isnan(result), nan)
    mismatch = np.flatnonzero(result[~nan].view(np.uint64) != expected[~nan].view(np.uint64))
    assert mismatch.size == 0, f"{mismatch.size} results differ, first at {mismatch[0]}"


def same_15_digits(value, printed):
    """Whether `value` printed in utmconv's general form (15 significant
    digits) gives the number `printed`: two 15-digit roundings are equal
    when they read back to the same double."""
    return float("%.14e" % value) == float(printed)


def run_utmconv(*args, stdin=None):
    return subprocess.run([UTMCONV, *args], input=stdin, capture_output=True, text=True)


# --- Points ---------------------------------------------------------------------

CM_BAD_LATLONG = [(95.0, 0.0), (-90.000001, 0.0), (np.nan, 0.0), (27.0, 90.5), (27.0, np.nan),
                  (np.inf, 0.0), (27.0, -np.inf)]


def latlong_points(cm, count, seed):
    """Latitudes and longitudes around the central meridian `cm`, a few that
    cannot be computed among them (their longitudes relative to `cm`)."""
    r = rng(seed)
    lat = r.uniform(-84.0, 84.0, count)
    lon = np.clip(cm + r.uniform(-60.0, 60.0, count), -180.0, 360.0)
    for i, (a, b) in enumerate(CM_BAD_LATLONG):
        lat[7 * i + 3] = a
        lon[7 * i + 3] = b if not np.isfinite(b) else cm + b
    lon[5] = 361.0
    return lat, lon


def grid_points(count, seed, spread=600000.0, north=(-9.5e6, 9.5e6)):
    """Eastings and northings on a grid, the far ones without a latitude."""
    r = rng(seed)
    x = r.uniform(500000.0 - spread, 500000.0 + spread, count)
    y = r.uniform(north[0], north[1], count)
    for i, (a, b) in enumerate([(1e15, 3e6), (5e5, 3e7), (np.nan, 3e6), (np.inf, 0.0),
                                (5e5, -3e7), (1e300, 1e300), (-1e308, 2e6)]):
        x[11 * i + 2] = a
        y[11 * i + 2] = b
    return x, y


POINT_CASES = [
    ("everest", None, 84.0),
    ("everest", "wgs84", 84.0),
    ("everest", "everest", 81.0),
    ("wgs84", None, 87.0),
    ("wgs84", "everest", 81.0),
    ("wgs84", "wgs84", -45.5),
    ("everest", "wgs84", 300.0),
]


def datum_of(ellipsoid, latlong_datum):
    return latlong_datum or ellipsoid


# --- Bit for bit against the one-point conversions --------------------------------


@pytest.mark.parametrize("ellipsoid,latlong_datum,cm", POINT_CASES)
def test_to_xy_gives_the_one_point_conversion_bit_for_bit(ellipsoid, latlong_datum, cm):
    lat, lon = latlong_points(cm, 3000, seed=int(cm * 10) + 1)
    x, y = utmconv.to_xy(lat, lon, cm=cm, ellipsoid=ellipsoid, latlong_datum=latlong_datum,
                         errors="nan")
    ex, ey, reasons = probe(["to-xy", ellipsoid, datum_of(ellipsoid, latlong_datum), repr(cm)],
                            lat, lon)
    assert len(reasons) >= len(CM_BAD_LATLONG)
    assert_same_bits(x, ex)
    assert_same_bits(y, ey)


@pytest.mark.parametrize("ellipsoid,latlong_datum,cm", POINT_CASES)
def test_to_latlong_gives_the_one_point_conversion_bit_for_bit(ellipsoid, latlong_datum, cm):
    x, y = grid_points(3000, seed=int(cm * 10) + 2)
    lat, lon = utmconv.to_latlong(x, y, cm=cm, ellipsoid=ellipsoid,
                                  latlong_datum=latlong_datum, errors="nan")
    elat, elon, reasons = probe(
        ["to-latlong", ellipsoid, datum_of(ellipsoid, latlong_datum), repr(cm)], x, y)
    assert len(reasons) >= 7
    assert_same_bits(lat, elat)
    assert_same_bits(lon, elon)


TRANSFER_CASES = [(kind, shift) for kind in range(8) for shift in ("none", "epsg6208")] + [
    (2, HELMERT_PV), (3, HELMERT_CF), (6, HELMERT_CF), (7, HELMERT_PV)]


@pytest.mark.parametrize("kind,shift", TRANSFER_CASES)
def test_transfer_gives_the_one_point_transformation_bit_for_bit(kind, shift):
    x, y = grid_points(3000, seed=100 + kind, spread=350000.0, north=(2.5e6, 3.6e6))
    rx, ry = utmconv.transfer(x, y, kind=kind, datum_shift=shift, errors="nan")
    ex, ey, reasons = probe(["transfer", str(kind), shift], x, y)
    assert reasons
    assert_same_bits(rx, ex)
    assert_same_bits(ry, ey)


def source_points(system, count, seed):
    if system.startswith("latlong"):
        lat, lon = latlong_points(84.0, count, seed)
        return lat, np.clip(lon, 84.0 - 89.0, 84.0 + 89.0)
    return grid_points(count, seed, spread=400000.0, north=(-8e6, 8e6))


@pytest.mark.parametrize("source", utmconv.SYSTEMS)
@pytest.mark.parametrize("shift", ["none", "epsg6208", HELMERT_PV])
def test_transform_gives_the_one_point_transformation_bit_for_bit(source, shift):
    a, b = source_points(source, 1500, seed=len(source) * 7 + len(shift))
    for target in utmconv.SYSTEMS:
        ra, rb = utmconv.transform(a, b, source=source, target=target, datum_shift=shift,
                                   errors="nan")
        ea, eb, _ = probe(["transform", source, target, shift], a, b)
        assert_same_bits(ra, ea)
        assert_same_bits(rb, eb)


LARGE = 250_000


@pytest.mark.parametrize("function,args,probe_args", [
    ("to_xy", dict(cm=84.0, ellipsoid="everest"), ["to-xy", "everest", "everest", "84"]),
    ("to_xy", dict(cm=84.0, ellipsoid="everest", latlong_datum="wgs84"),
     ["to-xy", "everest", "wgs84", "84"]),
    ("to_latlong", dict(cm=87.0, ellipsoid="wgs84"), ["to-latlong", "wgs84", "wgs84", "87"]),
    ("transfer", dict(kind=2), ["transfer", "2", "none"]),
    ("transform", dict(source="wgs84-45", target="latlong-everest", datum_shift="epsg6208"),
     ["transform", "wgs84-45", "latlong-everest", "epsg6208"]),
])
def test_large_arrays_on_two_threads_give_the_same_bits(function, args, probe_args):
    # From 100,000 points on the halves go to two threads; float32 views with
    # a stride make both halves gather their inputs.
    if function == "to_xy":
        a, b = latlong_points(84.0, LARGE, seed=7)
    else:
        a, b = grid_points(LARGE, seed=8, spread=300000.0, north=(2.6e6, 3.5e6))
    wide = np.empty((LARGE, 2), dtype=np.float32)
    with np.errstate(over="ignore"):  # the points beyond float32 become infinities
        wide[:, 0] = a
    a32 = wide[:, 0]
    ra, rb = getattr(utmconv, function)(a32, b, errors="nan", **args)
    ea, eb, _ = probe(probe_args, a32.astype(np.float64), b)
    assert_same_bits(ra, ea)
    assert_same_bits(rb, eb)


# --- Against the program's printed results ---------------------------------------


def write_table(path, header, first, second):
    with open(path, "w", newline="") as f:
        f.write(header + "\r\n")
        for a, b in zip(first.tolist(), second.tolist()):
            f.write(f"{a!r},{b!r}\r\n")


def printed_results(path, separator):
    """The two result fields of every line of a result file ('*' kept)."""
    with open(path, newline="") as f:
        lines = [line.rstrip("\r\n") for line in f if line.strip()]
    return [line.split(separator)[-2:] for line in lines[1:]]


def assert_prints_alike(first, second, printed):
    assert len(printed) == len(first)
    for i, (a, b, (pa, pb)) in enumerate(zip(first.tolist(), second.tolist(), printed)):
        if pa == "*":
            assert np.isnan(a) and np.isnan(b), f"line {i}: the program marks it, not the module"
            continue
        assert same_15_digits(a, pa) and same_15_digits(b, pb), f"line {i}: {a} {b} vs {pa} {pb}"


@pytest.mark.parametrize("direction", ["to-xy", "to-latlong"])
@pytest.mark.parametrize("latlong_datum,cm", [("everest", 84.0), ("wgs84", 84.0),
                                              ("everest", 81.5), ("wgs84", 87.0)])
def test_results_print_as_utmconv_convert_full_precision(tmp_path, direction, latlong_datum, cm):
    # convert keeps latitudes beyond the poles that point refuses: the points
    # here stay inside both.
    r = rng(int(cm * 10) + len(latlong_datum))
    if direction == "to-xy":
        a = r.uniform(-80.0, 80.0, 2500)
        b = cm + r.uniform(-60.0, 60.0, 2500)
        header = "Lat,Lon"
        ra, rb = utmconv.to_xy(a, b, cm=cm, ellipsoid="everest", latlong_datum=latlong_datum)
    else:
        a = r.uniform(100000.0, 900000.0, 2500)
        b = r.uniform(-8e6, 8e6, 2500)
        header = "X,Y"
        ra, rb = utmconv.to_latlong(a, b, cm=cm, ellipsoid="everest",
                                    latlong_datum=latlong_datum)
    data = tmp_path / "points.csv"
    out = tmp_path / "out.txt"
    write_table(data, header, a, b)
    run = run_utmconv("convert", f"--{direction}", "--full-precision", "--cm", repr(cm),
                      "--latlong-datum", latlong_datum, str(data), str(out))
    assert run.returncode == 0, run.stderr
    assert_prints_alike(ra, rb, printed_results(out, "\t"))


@pytest.mark.parametrize("kind,shift", [(k, "none") for k in range(8)] +
                         [(k, "epsg6208") for k in (2, 3, 6, 7)] + [(6, HELMERT_PV)])
def test_transfer_prints_as_utmconv_transfer(tmp_path, kind, shift):
    x, y = grid_points(2500, seed=300 + kind, spread=350000.0, north=(2.5e6, 3.6e6))
    rx, ry = utmconv.transfer(x, y, kind=kind, datum_shift=shift, errors="nan")
    data = tmp_path / "grid.csv"
    out = tmp_path / "gridOut.csv"
    write_table(data, "X,Y", x, y)
    run = run_utmconv("transfer", "--kind", str(kind), "--datum-shift", shift, str(data),
                      "--output", str(out))
    assert run.returncode in (0, 1), run.stderr
    assert_prints_alike(rx, ry, printed_results(out, ","))


@pytest.mark.parametrize("source,target", [(s, t) for s in utmconv.SYSTEMS
                                           for t in utmconv.SYSTEMS if s != t])
def test_transform_prints_as_utmconv_transform(tmp_path, source, target):
    a, b = source_points(source, 400, seed=len(source) + 3 * len(target))
    ra, rb = utmconv.transform(a, b, source=source, target=target, datum_shift="epsg6208",
                               errors="nan")
    data = tmp_path / "pairs.csv"
    out = tmp_path / "out.csv"
    write_table(data, "A,B", a, b)
    run = run_utmconv("transform", "--from", source, "--to", target, "--datum-shift",
                      "epsg6208", "--columns", "1,2", str(data), str(out))
    assert run.returncode in (0, 1), run.stderr
    assert_prints_alike(ra, rb, printed_results(out, ","))


@pytest.mark.parametrize("ellipsoid,latlong_datum,cm", POINT_CASES)
def test_results_print_as_utmconv_point(ellipsoid, latlong_datum, cm):
    r = rng(int(cm) + 500)
    lat = r.uniform(-70.0, 70.0, 2)
    lon = cm + r.uniform(-50.0, 50.0, 2)
    x, y = utmconv.to_xy(lat, lon, cm=cm, ellipsoid=ellipsoid, latlong_datum=latlong_datum)
    blat, blon = utmconv.to_latlong(x, y, cm=cm, ellipsoid=ellipsoid,
                                    latlong_datum=latlong_datum)
    datum = ["--latlong-datum", latlong_datum] if latlong_datum else []
    calls = [(["--to-xy", repr(a), repr(b)], (p, q)) for a, b, p, q in zip(lat, lon, x, y)]
    calls += [(["--to-latlong", repr(a), repr(b)], (p, q)) for a, b, p, q in zip(x, y, blat, blon)]

    def check(call):
        args, expected = call
        run = run_utmconv("point", "--ellipsoid", ellipsoid, "--cm", repr(cm), *datum, *args)
        assert run.returncode == 0, run.stderr
        printed = run.stdout.split()
        assert all(same_15_digits(v, p) for v, p in zip(expected, printed)), (args, printed)

    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        list(pool.map(check, calls))


@pytest.mark.parametrize("function,args,point_args", [
    ("to_xy", (95.0, 85.0), ["--to-xy", "95", "85"]),
    ("to_xy", (-90.5, 85.0), ["--to-xy", "-90.5", "85"]),
    ("to_xy", (27.0, 175.0), ["--to-xy", "27", "175"]),
    ("to_xy", (27.0, 400.0), ["--to-xy", "27", "400"]),
    ("to_latlong", (1e15, 3e6), ["--to-latlong", "1e+15", "3000000"]),
    ("to_latlong", (5e5, 3e7), ["--to-latlong", "500000", "30000000"]),
    ("to_latlong", (5e5, -1e308), ["--to-latlong", "500000", "-1e+308"]),
])
def test_a_point_that_cannot_be_computed_is_named_as_utmconv_point_names_it(function, args,
                                                                            point_args):
    # The program names the numbers as they were typed, the module in general
    # form: the texts here are both.
    run = run_utmconv("point", "--ellipsoid", "everest", "--cm", "84", *point_args)
    assert run.returncode == 2
    reason = run.stderr.strip().removeprefix("utmconv: ")
    with pytest.raises(ValueError) as raised:
        getattr(utmconv, function)(np.array([args[0], 27.0 if function == "to_xy" else 5e5,
                                             args[0]]),
                                   np.array([args[1], 85.0 if function == "to_xy" else 3e6,
                                             args[1]]), cm=84, ellipsoid="everest")
    assert str(raised.value) == f"at index 0: {reason}"


# --- Worked examples ---------------------------------------------------------------


@pytest.mark.parametrize("function,args,kwargs,expected", [
    ("to_xy", (27.7, 85.3), dict(cm=84, ellipsoid="everest"),
     ("628198.19317284", "3065307.73239086")),
    ("to_xy", (27.7, 85.3), dict(cm=84, ellipsoid="everest", latlong_datum="wgs84"),
     ("628431.102194291", "3065289.56713066")),
    ("to_latlong", (628431.102, 3065289.567),
     dict(cm=84, ellipsoid="everest", latlong_datum="wgs84"),
     ("27.6999999997279", "85.299999981406")),
    ("transfer", (332377.023, 3065126.718), dict(kind=3, datum_shift="epsg6208"),
     ("628431.102444086", "3065289.56747494")),
    ("transfer", (332377.023, 3065126.718),
     dict(kind="WGS84-45 to Everest-84", datum_shift="epsg6208"),
     ("628431.102444086", "3065289.56747494")),
])
def test_worked_examples(function, args, kwargs, expected):
    result = getattr(utmconv, function)(*args, **kwargs)
    assert all(isinstance(v, float) for v in result)
    assert all(same_15_digits(v, e) for v, e in zip(result, expected)), result


@pytest.mark.parametrize("ellipsoid,latlong_datum,cm,tolerance", [
    # Over Nepal, within 2 degrees of the meridian, the series come back to
    # well within a millimetre; a datum shift keeps a few millimetres of the
    # height it drops (3.2e-8 degrees at most).
    ("everest", None, 84.0, 1e-8),
    ("wgs84", None, 87.0, 1e-8),
    ("wgs84", "wgs84", 81.0, 1e-8),
    ("everest", "wgs84", 84.0, 5e-8),
    ("wgs84", "everest", 81.0, 5e-8),
])
def test_round_trip_returns_to_the_point(ellipsoid, latlong_datum, cm, tolerance):
    r = rng(42)
    lat = r.uniform(26.0, 31.0, 1000)
    lon = cm + r.uniform(-2.0, 2.0, 1000)
    x, y = utmconv.to_xy(lat, lon, cm=cm, ellipsoid=ellipsoid, latlong_datum=latlong_datum)
    blat, blon = utmconv.to_latlong(x, y, cm=cm, ellipsoid=ellipsoid,
                                    latlong_datum=latlong_datum)
    np.testing.assert_allclose(blat, lat, rtol=0, atol=tolerance)
    np.testing.assert_allclose(blon, lon, rtol=0, atol=tolerance)


@pytest.mark.parametrize("cm,lon,other_cm", [(300.0, 275.0, -60.0), (270.0, 290.0, -90.0),
                                             (180.0, 179.99999999, None),
                                             (180.0, 180.00000001, None)])
def test_a_datum_shift_keeps_the_longitude_in_the_convention_of_the_meridian(cm, lon, other_cm):
    # The shift gives longitudes within -180 to 180; the grid of a central
    # meridian of 300 takes them within 210 to 360, and gives them back so.
    x, y = utmconv.to_xy(27.0, lon, cm=cm, ellipsoid="everest", latlong_datum="wgs84")
    blat, blon = utmconv.to_latlong(x, y, cm=cm, ellipsoid="everest", latlong_datum="wgs84")
    assert abs(blon - lon) < 0.01
    if other_cm is not None:
        turn = cm - other_cm
        ox, oy = utmconv.to_xy(27.0, lon - turn, cm=other_cm, ellipsoid="everest",
                               latlong_datum="wgs84")
        assert abs(x - ox) < 1e-6 and abs(y - oy) < 1e-6
        olat, olon = utmconv.to_latlong(x, y, cm=other_cm, ellipsoid="everest",
                                        latlong_datum="wgs84")
        assert abs(blat - olat) < 1e-9 and abs(blon - turn - olon) < 1e-9


def test_transfer_there_and_back_returns_to_the_point():
    r = rng(5)
    x = r.uniform(400000.0, 600000.0, 1000)
    y = r.uniform(2.9e6, 3.3e6, 1000)
    ex, ey = utmconv.transfer(x, y, kind=2)
    bx, by = utmconv.transfer(ex, ey, kind=6)
    np.testing.assert_allclose(bx, x, rtol=0, atol=0.01)
    np.testing.assert_allclose(by, y, rtol=0, atol=0.01)


# --- Shapes, strides and types ---------------------------------------------------------


def test_numbers_give_floats_and_arrays_give_arrays():
    x, y = utmconv.to_xy(27.7, 85.3, cm=84, ellipsoid="everest")
    assert type(x) is float and type(y) is float
    x0, y0 = utmconv.to_xy(np.float32(27.7), np.array(85.3), cm=84, ellipsoid="everest")
    assert type(x0) is float and x0 == utmconv.to_xy(float(np.float32(27.7)), 85.3, cm=84,
                                                     ellipsoid="everest")[0]
    x1, y1 = utmconv.to_xy([27.7], 85.3, cm=84, ellipsoid="everest")
    assert x1.shape == (1,) and x1.dtype == np.float64 and x1[0] == x
    xe, ye = utmconv.to_xy(np.empty(0), np.empty(0), cm=84, ellipsoid="everest")
    assert xe.shape == (0,) and ye.shape == (0,)


@pytest.mark.parametrize("lat_shape,lon_shape,shape", [
    ((3, 1), (4,), (3, 4)),
    ((), (5,), (5,)),
    ((2, 1, 3), (4, 1), (2, 4, 3)),
    ((1,), (0,), (0,)),
])
def test_arguments_broadcast_as_numpy_broadcasts(lat_shape, lon_shape, shape):
    r = rng(9)
    lat = r.uniform(20, 30, lat_shape)
    lon = r.uniform(80, 88, lon_shape)
    x, y = utmconv.to_xy(lat, lon, cm=84, ellipsoid="everest")
    assert x.shape == shape and y.shape == shape
    flat_lat, flat_lon = (np.broadcast_to(v, shape).ravel() for v in (lat, lon))
    fx, fy = utmconv.to_xy(np.ascontiguousarray(flat_lat), np.ascontiguousarray(flat_lon), cm=84,
                           ellipsoid="everest")
    assert_same_bits(x.ravel(), fx)
    assert_same_bits(y.ravel(), fy)


def test_shapes_that_do_not_broadcast_are_refused():
    with pytest.raises(ValueError, match="broadcast"):
        utmconv.to_xy(np.zeros(3), np.zeros(4), cm=84, ellipsoid="everest")


def unaligned(values):
    raw = np.zeros(values.size * 8 + 1, dtype=np.uint8)
    view = raw[1:].view(np.float64)
    view[:] = values
    return view


LAYOUTS = {
    "every third": lambda v: np.repeat(v, 3)[::3],
    "reversed": lambda v: v[::-1].copy()[::-1],
    "float32": lambda v: v.astype(np.float32),
    "float32 strided": lambda v: np.repeat(v.astype(np.float32), 2)[::2],
    "big-endian": lambda v: v.astype(">f8"),
    "integers": lambda v: np.round(v).astype(np.int32),
    "list": lambda v: v.tolist(),
    "unaligned": unaligned,
    "read-only": lambda v: np.frombuffer(v.tobytes()),
}


@pytest.mark.parametrize("layout", LAYOUTS)
def test_any_layout_and_number_type_gives_the_results_of_its_float64_values(layout):
    r = rng(11)
    x = r.uniform(300000.0, 700000.0, 1001)
    y = r.uniform(2.9e6, 3.3e6, 1001)
    given = LAYOUTS[layout](x)
    values = np.asarray(given, dtype=np.float64)
    rx, ry = utmconv.transfer(given, y, kind=3)
    ex, ey = utmconv.transfer(np.ascontiguousarray(values), y, kind=3)
    assert_same_bits(rx, ex)
    assert_same_bits(ry, ey)


def test_two_dimensional_orders_give_the_same_results():
    r = rng(12)
    lat = r.uniform(26, 30, (40, 30))
    lon = r.uniform(80, 88, (40, 30))
    x, y = utmconv.to_xy(lat, lon, cm=84, ellipsoid="everest")
    fx, fy = utmconv.to_xy(np.asfortranarray(lat), np.asfortranarray(lon), cm=84,
                           ellipsoid="everest")
    tx, ty = utmconv.to_xy(lat.T.copy().T, lon, cm=84, ellipsoid="everest")
    for a, b in ((fx, x), (fy, y), (tx, x), (ty, y)):
        assert_same_bits(a, b)
    assert fx.flags.c_contiguous


def test_pandas_columns_are_read_as_arrays():
    pandas = pytest.importorskip("pandas")
    frame = pandas.DataFrame({"lat": [27.7, 28.1], "lon": [85.3, 84.2]})
    x, y = utmconv.to_xy(frame["lat"], frame["lon"], cm=84, ellipsoid="everest")
    ex, ey = utmconv.to_xy(frame["lat"].to_numpy(), frame["lon"].to_numpy(), cm=84,
                           ellipsoid="everest")
    assert_same_bits(x, ex)
    assert_same_bits(y, ey)


@pytest.mark.parametrize("value", ["27.7", np.array(["27.7"]), 27.7 + 1j,
                                   np.array(["2020-01-01"], dtype="datetime64[D]")])
def test_values_that_are_no_numbers_are_refused(value):
    with pytest.raises(TypeError, match="lat"):
        utmconv.to_xy(value, 85.3, cm=84, ellipsoid="everest")


def test_concurrent_calls_from_threads_give_the_same_results():
    lat, lon = latlong_points(84.0, 150_000, seed=13)
    expected = utmconv.to_xy(lat, lon, cm=84, ellipsoid="everest", errors="nan")
    results = [None] * 4

    def work(i):
        results[i] = utmconv.to_xy(lat, lon, cm=84, ellipsoid="everest", errors="nan")

    threads = [threading.Thread(target=work, args=(i,)) for i in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for result in results:
        assert_same_bits(result[0], expected[0])
        assert_same_bits(result[1], expected[1])


# --- Points that cannot be computed -------------------------------------------------


def test_raise_names_the_first_point_that_cannot_be_computed():
    lat = np.full(10, 27.0)
    lat[[4, 7]] = [91.0, 95.0]
    with pytest.raises(ValueError, match=r"^at index 4: the latitude 91 lies outside -90 to 90"):
        utmconv.to_xy(lat, 85.0, cm=84, ellipsoid="everest")


def test_raise_names_a_point_by_its_index_in_every_dimension():
    lat = np.full((3, 4), 27.0)
    lat[2, 1] = np.nan
    with pytest.raises(ValueError, match=r"^at index \(2, 1\): the latitude nan lies outside"):
        utmconv.to_xy(lat, 85.0, cm=84, ellipsoid="everest")


@pytest.mark.parametrize("bad", [[150_000], [200_000, 240_000], [60_000, 190_000]])
def test_raise_names_the_first_point_of_either_half(bad):
    lat = np.full(LARGE, 27.0)
    lat[bad] = 100.0
    with pytest.raises(ValueError, match=rf"^at index {bad[0]}: the latitude 100 "):
        utmconv.to_xy(lat, 85.0, cm=84, ellipsoid="everest")


@pytest.mark.parametrize("function,kwargs,good,bad,reason", [
    ("to_xy", dict(cm=84, ellipsoid="everest", latlong_datum="wgs84"), (27.0, 85.0),
     (np.inf, 85.0), "the latitude inf lies outside -90 to 90 degrees"),
    ("to_latlong", dict(cm=84, ellipsoid="everest"), (5e5, 3e6), (np.nan, 3e6),
     "the result cannot be computed: arithmetic overflow or invalid value in the inverse "
     "projection"),
    ("transfer", dict(kind=2), (5e5, 3e6), (1e300, 5.0),
     "the point 1e+300, 5 cannot be transferred: "),
    ("transform", dict(source="latlong-wgs84", target="everest84", datum_shift="epsg6208"),
     (27.0, 85.0), (95.0, 85.0), "the point 95, 85 cannot be transferred: "),
])
def test_raise_gives_the_reason_of_the_conversion(function, kwargs, good, bad, reason):
    with pytest.raises(ValueError) as raised:
        getattr(utmconv, function)([good[0], bad[0]], [good[1], bad[1]], **kwargs)
    assert str(raised.value).startswith(f"at index 1: {reason}")


def test_nan_gives_nan_for_the_points_that_cannot_be_computed_and_converts_the_others():
    lat = np.array([27.0, 95.0, np.nan, 28.0, 27.0])
    lon = np.array([85.0, 85.0, 85.0, 85.0, 175.0])
    x, y = utmconv.to_xy(lat, lon, cm=84, ellipsoid="everest", errors="nan")
    assert np.isnan(x).tolist() == [False, True, True, False, True]
    assert np.isnan(y).tolist() == np.isnan(x).tolist()
    ex, ey = utmconv.to_xy(lat[[0, 3]], lon[[0, 3]], cm=84, ellipsoid="everest")
    assert_same_bits(x[[0, 3]], ex)
    assert_same_bits(y[[0, 3]], ey)


# --- Bad arguments -----------------------------------------------------------------


def cli_reason(*args):
    run = run_utmconv(*args)
    assert run.returncode == 2
    return run.stderr.strip().removeprefix("utmconv: ")


@pytest.mark.parametrize("call,cli,option", [
    (lambda: utmconv.to_xy(1, 2, cm=400, ellipsoid="everest"),
     ["point", "--ellipsoid", "everest", "--cm", "400", "--to-xy", "1", "2"], "--cm"),
    (lambda: utmconv.to_latlong(1, 2, cm=float("nan"), ellipsoid="everest"),
     ["point", "--ellipsoid", "everest", "--cm", "nan", "--to-xy", "1", "2"], None),
    (lambda: utmconv.transfer(1, 2, kind=2, datum_shift="helmert-pv:1,2"),
     ["transfer", "--kind", "2", "--datum-shift", "helmert-pv:1,2", "-"], "--datum-shift"),
    (lambda: utmconv.transfer(1, 2, kind=2, datum_shift="helmert-cf:1,2,3,648000,0,0,0"),
     ["transfer", "--kind", "2", "--datum-shift", "helmert-cf:1,2,3,648000,0,0,0", "-"],
     "--datum-shift"),
    (lambda: utmconv.transfer(1, 2, kind=9),
     ["transfer", "--kind", "9", "-"], "--kind"),
    (lambda: utmconv.transfer(1, 2, kind="Everest-84 to everest-81"),
     ["transfer", "--kind", "Everest-84 to everest-81", "-"], "--kind"),
    (lambda: utmconv.transform(1, 2, source="everest85", target="everest84"),
     ["transform", "--from", "everest85", "--to", "everest84", "-", "-"], "--from"),
    (lambda: utmconv.transform(1, 2, source="everest84", target="utm44"),
     ["transform", "--from", "everest84", "--to", "utm44", "-", "-"], "--to"),
])
def test_bad_arguments_are_refused_with_the_message_of_utmconv(call, cli, option):
    with pytest.raises(ValueError) as raised:
        call()
    message = str(raised.value)
    if option is None:
        # The program refuses "nan" as no number; the module names the value.
        assert message == "cm: the central meridian nan lies outside -180 to 360 degrees"
        return
    names = {"--cm": "cm", "--datum-shift": "datum_shift", "--kind": "kind", "--from": "source",
             "--to": "target"}
    expected = cli_reason(*cli).replace(option, names[option])
    assert message == expected


@pytest.mark.parametrize("kwargs,text", [
    (dict(ellipsoid="clarke"), "ellipsoid: clarke not in {everest,wgs84}"),
    (dict(ellipsoid="everest", latlong_datum="nad27"), "latlong_datum: nad27 not in {everest,wgs84}"),
    (dict(ellipsoid="everest", errors="skip"), "errors: skip not in {raise,nan}"),
])
def test_bad_choices_are_refused(kwargs, text):
    with pytest.raises(ValueError) as raised:
        utmconv.to_xy(27, 85, cm=84, **kwargs)
    assert str(raised.value) == text


@pytest.mark.parametrize("kind,position", [(2, 2), (np.int64(6), 6), ("7", 7),
                                           ("Everest-81 to Everest-84", 0)])
def test_a_kind_is_a_position_or_a_caption(kind, position):
    assert utmconv.TRANSFER_KINDS[position] in utmconv.transfer.__doc__
    assert utmconv.transfer(5e5, 3e6, kind=kind) == utmconv.transfer(5e5, 3e6, kind=position)


@pytest.mark.parametrize("kind", [True, 2.0, None])
def test_a_kind_that_is_neither_is_refused(kind):
    with pytest.raises(TypeError, match="^kind: give 0 to 7 or a caption"):
        utmconv.transfer(5e5, 3e6, kind=kind)


# --- Documentation and stubs ----------------------------------------------------------


def option_help(command):
    """utmconv COMMAND --help: the description of every option, by its long name."""
    text = run_utmconv(command, "--help").stdout
    entries = {}
    name = None
    for line in text.splitlines():
        if line.startswith("  -"):
            name = line.split()[0].split(",")[-1]
            head = line[:30]
            same_line = head.endswith(" ") and len(line) > 30
            entries[name] = line[30:].strip() if same_line else ""
        elif name and line.startswith(" " * 30):
            entries[name] = (entries[name] + " " + line.strip()).strip()
        else:
            name = None
    return entries


def words(text):
    return " ".join(text.split())


@pytest.mark.parametrize("function,command,option", [
    ("to_xy", "point", "--to-xy"),
    ("to_xy", "point", "--cm"),
    ("to_xy", "point", "--ellipsoid"),
    ("to_xy", "point", "--latlong-datum"),
    ("to_latlong", "point", "--to-latlong"),
    ("to_latlong", "point", "--cm"),
    ("to_latlong", "point", "--latlong-datum"),
    ("transfer", "transfer", "--kind"),
    ("transfer", "transfer", "--datum-shift"),
    ("transform", "transform", "--from"),
    ("transform", "transform", "--datum-shift"),
])
def test_help_says_what_the_programs_help_says(function, command, option):
    described = option_help(command)[option]
    # --from goes on about GIS files, which the module does not read.
    if option == "--from":
        described = described.split(". ")[0]
    assert described
    assert words(described) in words(getattr(utmconv, function).__doc__)


def stub_signatures():
    tree = ast.parse(open(STUB).read())
    signatures = {}
    for node in tree.body:
        if isinstance(node, ast.FunctionDef):
            args = node.args
            defaults = [ast.literal_eval(d) if d is not None else None for d in args.kw_defaults]
            signatures.setdefault(node.name, set()).add((
                tuple(a.arg for a in args.args),
                tuple(zip((a.arg for a in args.kwonlyargs), defaults))))
    return signatures


def module_signature(function):
    """Parameters and keyword defaults from the signature line pybind11 writes."""
    line = function.__doc__.splitlines()[0]
    inside = line[line.index("(") + 1:line.rindex(") ->")]
    positional, _, keywords = inside.partition(", *, ")
    names = tuple(p.split(":")[0] for p in positional.split(", "))
    keyword_list = []
    for part in re.split(r", (?=\w+:)", keywords):
        name = part.split(":")[0]
        default = part.split(" = ")[1] if " = " in part else None
        keyword_list.append((name, None if default in (None, "None") else ast.literal_eval(default)))
    return names, tuple(keyword_list)


def test_the_stubs_name_the_modules_functions_and_arguments():
    stubs = stub_signatures()
    functions = {name for name in dir(utmconv) if callable(getattr(utmconv, name))
                 and not name.startswith("_")}
    assert set(stubs) == functions
    for name, overloads in stubs.items():
        assert overloads == {module_signature(getattr(utmconv, name))}, name
