"""The Python module utmconv against the utmconv program and the one-point
conversions behind it. ctest sets PYTHONPATH (the built module), UTMCONV (the
program) and UTM_PYTHON_PROBE (a helper printing the exact results of the
one-point conversions as hexadecimal floats: the program prints 15 digits)."""

import ast
import os
import re
import subprocess

import numpy as np
import pytest

import utmconv

UTMCONV = os.environ["UTMCONV"]
PROBE = os.environ["UTM_PYTHON_PROBE"]
HELMERT_PV = "helmert-pv:293.17,726.18,245.36,0.5,-0.3,0.2,1.5"
HELMERT_CF = "helmert-cf:290,720,250,-1.2,0.4,0.9,-2.5"


def probe(args, first, second):
    """The exact one-point results of each pair (NaN where it throws) and the
    messages of those that throw."""
    text = "".join(f"{a.hex()} {b.hex()}\n" for a, b in zip(first.tolist(), second.tolist()))
    lines = subprocess.run([PROBE, *args], input=text, capture_output=True, text=True,
                           check=True).stdout.splitlines()
    pairs = [(np.nan, np.nan) if line.startswith("!") else tuple(map(float.fromhex, line.split()))
             for line in lines]
    return (*np.array(pairs).reshape(-1, 2).T, [line[2:] for line in lines if line[0] == "!"])


def assert_same_bits(result, expected):
    result, expected = np.asarray(result, np.float64), np.asarray(expected, np.float64)
    assert result.shape == expected.shape
    np.testing.assert_array_equal(np.isnan(result), np.isnan(expected))
    differ = np.flatnonzero(result[~np.isnan(expected)].view(np.uint64)
                            != expected[~np.isnan(expected)].view(np.uint64))
    assert differ.size == 0, f"{differ.size} results differ, the first at {differ[0]}"


def same_15_digits(value, printed):
    """`value` in the program's general form (15 significant digits) reads as `printed`."""
    return float("%.14e" % value) == float(printed)


def run_utmconv(*args):
    return subprocess.run([UTMCONV, *args], capture_output=True, text=True)


def latlong_points(cm, count, seed):
    """Around the central meridian, with points that cannot be computed among them."""
    r = np.random.default_rng(abs(int(seed)))
    lat, lon = r.uniform(-84.0, 84.0, count), np.clip(cm + r.uniform(-60, 60, count), -180, 360)
    bad = [(95.0, cm), (-90.000001, cm), (np.nan, cm), (27.0, cm + 90.5), (27.0, np.nan),
           (np.inf, cm), (27.0, -np.inf), (27.0, 361.0)]
    lat[3:3 + 7 * len(bad):7], lon[3:3 + 7 * len(bad):7] = np.array(bad).T
    return lat, lon


def grid_points(count, seed, spread=600000.0, north=(-9.5e6, 9.5e6)):
    """Eastings and northings, the far ones without a latitude, a few no numbers."""
    r = np.random.default_rng(seed)
    x, y = r.uniform(5e5 - spread, 5e5 + spread, count), r.uniform(*north, count)
    bad = [(1e15, 3e6), (5e5, 3e7), (np.nan, 3e6), (np.inf, 0.0), (5e5, -3e7), (1e300, 1e300)]
    x[2:2 + 11 * len(bad):11], y[2:2 + 11 * len(bad):11] = np.array(bad).T
    return x, y


def source_points(system, count, seed):
    if system.startswith("latlong"):
        return latlong_points(84.0, count, seed)
    return grid_points(count, seed, spread=400000.0, north=(-8e6, 8e6))


POINT_CASES = [("everest", None, 84.0), ("everest", "wgs84", 84.0), ("everest", "everest", 81.0),
               ("wgs84", None, 87.0), ("wgs84", "everest", 81.0), ("wgs84", "wgs84", -45.5),
               ("everest", "wgs84", 300.0)]


# --- Bit for bit against the one-point conversions ------------------------------------


@pytest.mark.parametrize("direction", ["to-xy", "to-latlong"])
@pytest.mark.parametrize("ellipsoid,latlong_datum,cm", POINT_CASES)
def test_points_give_the_one_point_conversion_bit_for_bit(direction, ellipsoid, latlong_datum,
                                                          cm):
    if direction == "to-xy":
        a, b = latlong_points(cm, 3000, seed=cm * 10 + 1)
    else:
        a, b = grid_points(3000, seed=int(abs(cm)) + 2)
    function = utmconv.to_xy if direction == "to-xy" else utmconv.to_latlong
    ra, rb = function(a, b, cm=cm, ellipsoid=ellipsoid, latlong_datum=latlong_datum,
                      errors="nan")
    ea, eb, refused = probe([direction, ellipsoid, latlong_datum or ellipsoid, repr(cm)], a, b)
    assert len(refused) >= 6
    assert_same_bits(ra, ea)
    assert_same_bits(rb, eb)


@pytest.mark.parametrize("kind,shift", [(k, s) for k in range(8) for s in ("none", "epsg6208")]
                         + [(2, HELMERT_PV), (3, HELMERT_CF), (6, HELMERT_CF), (7, HELMERT_PV)])
def test_transfer_gives_the_one_point_transformation_bit_for_bit(kind, shift):
    x, y = grid_points(3000, seed=100 + kind, spread=350000.0, north=(2.5e6, 3.6e6))
    rx, ry = utmconv.transfer(x, y, kind=kind, datum_shift=shift, errors="nan")
    ex, ey, refused = probe(["transfer", str(kind), shift], x, y)
    assert refused
    assert_same_bits(rx, ex)
    assert_same_bits(ry, ey)


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


LARGE = 250_000  # from 100,000 points on, two threads


@pytest.mark.parametrize("function,kwargs,probe_args", [
    ("to_xy", dict(cm=84.0, ellipsoid="everest"), ["to-xy", "everest", "everest", "84"]),
    ("to_xy", dict(cm=84.0, ellipsoid="everest", latlong_datum="wgs84"),
     ["to-xy", "everest", "wgs84", "84"]),
    ("to_latlong", dict(cm=87.0, ellipsoid="wgs84"), ["to-latlong", "wgs84", "wgs84", "87"]),
    ("transform", dict(source="wgs84-45", target="latlong-everest", datum_shift="epsg6208"),
     ["transform", "wgs84-45", "latlong-everest", "epsg6208"]),
])
def test_large_arrays_on_two_threads_give_the_same_bits(function, kwargs, probe_args):
    if function == "to_xy":
        a, b = latlong_points(84.0, LARGE, seed=7)
    else:
        a, b = grid_points(LARGE, seed=8, spread=300000.0, north=(2.6e6, 3.5e6))
    # float32 with a stride: both halves gather their inputs.
    wide = np.empty((LARGE, 2), dtype=np.float32)
    with np.errstate(over="ignore"):
        wide[:, 0] = a
    ra, rb = getattr(utmconv, function)(wide[:, 0], b, errors="nan", **kwargs)
    ea, eb, _ = probe(probe_args, wide[:, 0].astype(np.float64), b)
    assert_same_bits(ra, ea)
    assert_same_bits(rb, eb)


# --- Against the program's printed results ---------------------------------------------


def printed_by_utmconv(tmp_path, args, first, second, separator):
    """The two results of every line the program writes for a CSV file of the pairs."""
    data, out = tmp_path / "points.csv", tmp_path / "out.csv"
    data.write_text("A,B\n" + "".join(f"{a!r},{b!r}\n" for a, b in zip(first.tolist(),
                                                                        second.tolist())))
    run = run_utmconv(*[str(data) if a == "DATA" else str(out) if a == "OUT" else a
                        for a in args])
    assert run.returncode in (0, 1), run.stderr
    return [line.split(separator)[-2:] for line in out.read_text().splitlines()[1:]]


def assert_prints_alike(first, second, printed):
    assert len(printed) == len(first)
    for i, (a, b, (pa, pb)) in enumerate(zip(first.tolist(), second.tolist(), printed)):
        if pa == "*":
            assert np.isnan(a) and np.isnan(b), f"line {i}: the program marks it"
        else:
            assert same_15_digits(a, pa) and same_15_digits(b, pb), f"line {i}: {a} {b} {pa} {pb}"


@pytest.mark.parametrize("direction", ["to-xy", "to-latlong"])
@pytest.mark.parametrize("datum,cm", [("everest", 84.0), ("wgs84", 84.0), ("wgs84", 87.5)])
def test_results_print_as_utmconv_convert_full_precision(tmp_path, direction, datum, cm):
    # convert computes latitudes beyond the poles that point refuses: these stay inside.
    r = np.random.default_rng(int(cm) + len(datum))
    if direction == "to-xy":
        a, b = r.uniform(-80, 80, 2500), cm + r.uniform(-60, 60, 2500)
        ra, rb = utmconv.to_xy(a, b, cm=cm, ellipsoid="everest", latlong_datum=datum)
    else:
        a, b = r.uniform(1e5, 9e5, 2500), r.uniform(-8e6, 8e6, 2500)
        ra, rb = utmconv.to_latlong(a, b, cm=cm, ellipsoid="everest", latlong_datum=datum)
    args = ["convert", f"--{direction}", "--full-precision", "--cm", repr(cm),
            "--latlong-datum", datum, "--columns", "1,2", "DATA", "OUT"]
    assert_prints_alike(ra, rb, printed_by_utmconv(tmp_path, args, a, b, "\t"))


@pytest.mark.parametrize("kind,shift", [(k, "none") for k in range(8)] +
                         [(k, "epsg6208") for k in (2, 3, 6, 7)] + [(6, HELMERT_PV)])
def test_transfer_prints_as_utmconv_transfer(tmp_path, kind, shift):
    x, y = grid_points(2500, seed=300 + kind, spread=350000.0, north=(2.5e6, 3.6e6))
    rx, ry = utmconv.transfer(x, y, kind=kind, datum_shift=shift, errors="nan")
    args = ["transfer", "--kind", str(kind), "--datum-shift", shift, "DATA", "--output", "OUT"]
    assert_prints_alike(rx, ry, printed_by_utmconv(tmp_path, args, x, y, ","))


@pytest.mark.parametrize("source,target", [(s, t) for s in utmconv.SYSTEMS
                                           for t in utmconv.SYSTEMS if s != t])
def test_transform_prints_as_utmconv_transform(tmp_path, source, target):
    a, b = source_points(source, 400, seed=len(source) + 3 * len(target))
    ra, rb = utmconv.transform(a, b, source=source, target=target, datum_shift="epsg6208",
                               errors="nan")
    args = ["transform", "--from", source, "--to", target, "--datum-shift", "epsg6208",
            "--columns", "1,2", "DATA", "OUT"]
    assert_prints_alike(ra, rb, printed_by_utmconv(tmp_path, args, a, b, ","))


@pytest.mark.parametrize("ellipsoid,latlong_datum,cm", POINT_CASES)
def test_results_print_as_utmconv_point(ellipsoid, latlong_datum, cm):
    lat, lon = 27.5 + cm / 100.0, cm + 1.75
    x, y = utmconv.to_xy(lat, lon, cm=cm, ellipsoid=ellipsoid, latlong_datum=latlong_datum)
    back = utmconv.to_latlong(x, y, cm=cm, ellipsoid=ellipsoid, latlong_datum=latlong_datum)
    datum = ["--latlong-datum", latlong_datum] if latlong_datum else []
    for args, expected in ((["--to-xy", repr(lat), repr(lon)], (x, y)),
                           (["--to-latlong", repr(x), repr(y)], back)):
        run = run_utmconv("point", "--ellipsoid", ellipsoid, "--cm", repr(cm), *datum, *args)
        assert run.returncode == 0, run.stderr
        assert all(map(same_15_digits, expected, run.stdout.split())), (args, run.stdout)


@pytest.mark.parametrize("function,a,b", [
    ("to_xy", 95.0, 85.0), ("to_xy", -90.5, 85.0), ("to_xy", 27.0, 175.0), ("to_xy", 27.0, 400.0),
    ("to_latlong", 1e15, 3e6), ("to_latlong", 5e5, 3e7), ("to_latlong", 5e5, -1e308),
])
def test_a_point_that_cannot_be_computed_is_named_as_utmconv_point_names_it(function, a, b):
    # The program names the numbers as typed: here they are typed in general form.
    run = run_utmconv("point", "--ellipsoid", "everest", "--cm", "84",
                      "--" + function.replace("_", "-"), "%.15g" % a, "%.15g" % b)
    assert run.returncode == 2
    with pytest.raises(ValueError) as raised:
        getattr(utmconv, function)([a, 27.0 if function == "to_xy" else 5e5, a],
                                   [b, 85.0 if function == "to_xy" else 3e6, b],
                                   cm=84, ellipsoid="everest")
    assert str(raised.value) == "at index 0: " + run.stderr.strip().removeprefix("utmconv: ")


# --- Worked examples ----------------------------------------------------------------------


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
    assert all(type(v) is float for v in result)
    assert all(map(same_15_digits, result, expected)), result


@pytest.mark.parametrize("cm,lon,other_cm", [(300.0, 275.0, -60.0), (270.0, 290.0, -90.0),
                                             (180.0, 179.99999999, None),
                                             (180.0, 180.00000001, None)])
def test_a_datum_shift_keeps_the_longitude_in_the_convention_of_the_meridian(cm, lon, other_cm):
    # The shift gives longitudes within -180 to 180; the grid of a central
    # meridian of 300 takes them within 210 to 360, and gives them back so.
    gps = dict(ellipsoid="everest", latlong_datum="wgs84")
    x, y = utmconv.to_xy(27.0, lon, cm=cm, **gps)
    lat_back, lon_back = utmconv.to_latlong(x, y, cm=cm, **gps)
    assert abs(lon_back - lon) < 0.01
    if other_cm is not None:
        turn = cm - other_cm
        ox, oy = utmconv.to_xy(27.0, lon - turn, cm=other_cm, **gps)
        assert abs(x - ox) < 1e-6 and abs(y - oy) < 1e-6
        olat, olon = utmconv.to_latlong(x, y, cm=other_cm, **gps)
        assert abs(lat_back - olat) < 1e-9 and abs(lon_back - turn - olon) < 1e-9


# --- Shapes, strides and types ----------------------------------------------------------


@pytest.mark.parametrize("lat_shape,lon_shape,shape", [
    ((), (), ()), ((1,), (), (1,)), ((3, 1), (4,), (3, 4)), ((2, 1, 3), (4, 1), (2, 4, 3)),
    ((1,), (0,), (0,)),
])
def test_arguments_broadcast_as_numpy_broadcasts(lat_shape, lon_shape, shape):
    r = np.random.default_rng(9)
    lat, lon = r.uniform(20, 30, lat_shape), r.uniform(80, 88, lon_shape)
    x, y = utmconv.to_xy(lat, lon, cm=84, ellipsoid="everest")
    if shape == ():
        assert type(x) is float and type(y) is float
        return
    assert x.shape == y.shape == shape and x.dtype == np.float64 and x.flags.c_contiguous
    fx, fy = utmconv.to_xy(*(np.broadcast_to(v, shape).ravel().copy() for v in (lat, lon)),
                           cm=84, ellipsoid="everest")
    assert_same_bits(x.ravel(), fx)
    assert_same_bits(y.ravel(), fy)
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
    "Fortran order": lambda v: np.asfortranarray(v.reshape(7, -1)),
    "transposed": lambda v: v.reshape(-1, 7).copy().T,
    "big-endian": lambda v: v.astype(">f8"),
    "integers": lambda v: np.round(v).astype(np.int32),
    "list": lambda v: v.tolist(),
    "pandas column": lambda v: pytest.importorskip("pandas").Series(v),
    "unaligned": unaligned,
    "read-only": lambda v: np.frombuffer(v.tobytes()),
}


@pytest.mark.parametrize("layout", LAYOUTS)
def test_any_layout_and_number_type_gives_the_results_of_its_float64_values(layout):
    r = np.random.default_rng(11)
    x, y = r.uniform(3e5, 7e5, 1001), r.uniform(2.9e6, 3.3e6, 1001)
    given = LAYOUTS[layout](x)
    values = np.ascontiguousarray(np.asarray(given, dtype=np.float64))
    rx, ry = utmconv.transfer(given, np.broadcast_to(y[:values.shape[-1]], values.shape), kind=3)
    ex, ey = utmconv.transfer(values, np.broadcast_to(y[:values.shape[-1]], values.shape), kind=3)
    assert_same_bits(rx, ex)
    assert_same_bits(ry, ey)


@pytest.mark.parametrize("value", ["27.7", np.array(["27.7"]), 27.7 + 1j,
                                   np.array(["2020-01-01"], dtype="datetime64[D]")])
def test_values_that_are_no_numbers_are_refused(value):
    with pytest.raises(TypeError, match="^lat: give numbers"):
        utmconv.to_xy(value, 85.3, cm=84, ellipsoid="everest")


# --- Points that cannot be computed ---------------------------------------------------


@pytest.mark.parametrize("shape,bad,index", [
    ((10,), [4, 7], "4"), ((3, 4), [9], "(2, 1)"),
    ((LARGE,), [150_000], "150000"), ((LARGE,), [200_000, 240_000], "200000"),
    ((LARGE,), [60_000, 190_000], "60000"),
])
def test_raise_names_the_first_point_that_cannot_be_computed(shape, bad, index):
    lat = np.full(shape, 27.0)
    lat.ravel()[bad] = 100.0
    with pytest.raises(ValueError, match=rf"^at index {re.escape(index)}: the latitude 100 "):
        utmconv.to_xy(lat, 85.0, cm=84, ellipsoid="everest")


@pytest.mark.parametrize("function,kwargs,good,bad,reason", [
    ("to_xy", dict(cm=84, ellipsoid="everest", latlong_datum="wgs84"), (27.0, 85.0),
     (np.inf, 85.0), "the latitude inf lies outside -90 to 90 degrees"),
    ("to_latlong", dict(cm=84, ellipsoid="everest"), (5e5, 3e6), (np.nan, 3e6),
     "the result cannot be computed: arithmetic overflow or invalid value in the inverse"),
    ("transfer", dict(kind=2), (5e5, 3e6), (1e300, 5.0),
     "the point 1e+300, 5 cannot be transferred: arithmetic overflow"),
    ("transform", dict(source="latlong-wgs84", target="everest84", datum_shift="epsg6208"),
     (27.0, 85.0), (95.0, 85.0), "the point 95, 85 cannot be transferred: "),
])
def test_each_function_gives_the_reason_of_its_conversion(function, kwargs, good, bad, reason):
    with pytest.raises(ValueError) as raised:
        getattr(utmconv, function)([good[0], bad[0]], [good[1], bad[1]], **kwargs)
    assert str(raised.value).startswith(f"at index 1: {reason}")
    ra, rb = getattr(utmconv, function)([good[0], bad[0]], [good[1], bad[1]], errors="nan",
                                        **kwargs)
    assert np.isnan(ra).tolist() == np.isnan(rb).tolist() == [False, True]
    assert (ra[0], rb[0]) == getattr(utmconv, function)(*good, **kwargs)


# --- Bad arguments ---------------------------------------------------------------------


@pytest.mark.parametrize("call,cli,option,name", [
    (lambda: utmconv.to_xy(1, 2, cm=400, ellipsoid="everest"),
     ["point", "--ellipsoid", "everest", "--cm", "400", "--to-xy", "1", "2"], "--cm", "cm"),
    (lambda: utmconv.transfer(1, 2, kind=2, datum_shift="helmert-pv:1,2"),
     ["transfer", "--kind", "2", "--datum-shift", "helmert-pv:1,2", "-"], "--datum-shift",
     "datum_shift"),
    (lambda: utmconv.transfer(1, 2, kind=2, datum_shift="helmert-cf:1,2,3,648000,0,0,0"),
     ["transfer", "--kind", "2", "--datum-shift", "helmert-cf:1,2,3,648000,0,0,0", "-"],
     "--datum-shift", "datum_shift"),
    (lambda: utmconv.transfer(1, 2, kind=9), ["transfer", "--kind", "9", "-"], "--kind", "kind"),
    (lambda: utmconv.transfer(1, 2, kind="Everest-84 to everest-81"),
     ["transfer", "--kind", "Everest-84 to everest-81", "-"], "--kind", "kind"),
    (lambda: utmconv.transform(1, 2, source="everest85", target="everest84"),
     ["transform", "--from", "everest85", "--to", "everest84", "-", "-"], "--from", "source"),
    (lambda: utmconv.transform(1, 2, source="everest84", target="utm44"),
     ["transform", "--from", "everest84", "--to", "utm44", "-", "-"], "--to", "target"),
])
def test_bad_arguments_are_refused_with_the_message_of_utmconv(call, cli, option, name):
    run = run_utmconv(*cli)
    assert run.returncode == 2
    with pytest.raises(ValueError) as raised:
        call()
    assert str(raised.value) == run.stderr.strip().removeprefix("utmconv: ").replace(option,
                                                                                     name)


@pytest.mark.parametrize("kwargs,error,text", [
    (dict(ellipsoid="clarke"), ValueError, "ellipsoid: clarke not in {everest,wgs84}"),
    (dict(ellipsoid="everest", latlong_datum="nad27"), ValueError,
     "latlong_datum: nad27 not in {everest,wgs84}"),
    (dict(ellipsoid="everest", errors="skip"), ValueError, "errors: skip not in {raise,nan}"),
    (dict(ellipsoid="everest", cm=float("nan")), ValueError,
     "cm: the central meridian nan lies outside -180 to 360 degrees"),
])
def test_bad_choices_are_refused(kwargs, error, text):
    with pytest.raises(error) as raised:
        utmconv.to_xy(27, 85, **{"cm": 84, **kwargs})
    assert str(raised.value) == text


@pytest.mark.parametrize("kind,position", [(np.int64(6), 6), ("7", 7),
                                           ("Everest-81 to Everest-84", 0), (True, None),
                                           (2.0, None), (None, None)])
def test_a_kind_is_a_position_or_a_caption(kind, position):
    if position is None:
        with pytest.raises(TypeError, match="^kind: give 0 to 7 or a caption"):
            utmconv.transfer(5e5, 3e6, kind=kind)
    else:
        assert utmconv.transfer(5e5, 3e6, kind=kind) == utmconv.transfer(5e5, 3e6, kind=position)


# --- Documentation and stubs -------------------------------------------------------------


def option_help(command, option):
    """The description `utmconv COMMAND --help` gives of `option`."""
    lines = run_utmconv(command, "--help").stdout.splitlines()
    at = next(i for i, line in enumerate(lines) if re.match(rf"  (-\w,)?{option}\b", line))
    same_line = len(lines[at]) > 30 and lines[at][:30].endswith(" ")
    return lines[at][30:].strip() if same_line else lines[at + 1].strip()


@pytest.mark.parametrize("function,command,options", [
    ("to_xy", "point", ["--to-xy", "--cm", "--ellipsoid", "--latlong-datum"]),
    ("to_latlong", "point", ["--to-latlong", "--cm", "--ellipsoid", "--latlong-datum"]),
    ("transfer", "transfer", ["--kind", "--datum-shift"]),
    ("transform", "transform", ["--from", "--datum-shift"]),
])
def test_help_says_what_the_programs_help_says(function, command, options):
    doc = " ".join(getattr(utmconv, function).__doc__.split())
    for option in options:
        # --from goes on about GIS files, which the module does not read.
        described = option_help(command, option).split(". Required")[0]
        assert described and described in doc, option


def test_the_stubs_name_the_functions_and_arguments_of_the_module():
    stub = ast.parse(open(os.path.join(os.path.dirname(utmconv.__file__), "utmconv.pyi")).read())
    functions = [n for n in stub.body if isinstance(n, ast.FunctionDef)]
    assert {f.name for f in functions} == {n for n in dir(utmconv) if not n.startswith("_")
                                          and callable(getattr(utmconv, n))}
    for f in functions:
        # pybind11's signature line: "to_xy(lat: object, lon: object, *, cm: float, ...)"
        line = getattr(utmconv, f.name).__doc__.splitlines()[0]
        positional, _, keywords = line[line.index("(") + 1:line.rindex(") ->")].partition(", *, ")
        keyword_defaults = [(p.split(":")[0], ast.literal_eval(p.split(" = ")[1])
                             if " = " in p else None) for p in keywords.split(", ")]
        assert [a.arg for a in f.args.args] == [p.split(":")[0] for p in positional.split(", ")]
        assert [(a.arg, d and ast.literal_eval(d)) for a, d in
                zip(f.args.kwonlyargs, f.args.kw_defaults)] == keyword_defaults, f.name
