"""examples/dask_convert.py on a LocalCluster of two worker processes: every
row of its results against `utmconv convert --full-precision` of the same
files (ctest sets PYTHONPATH, UTMCONV and UTM_SOURCE_DIR)."""

import os
import re
import shutil
import subprocess
import sys

import numpy as np
import pandas
import pytest

UTMCONV = os.environ["UTMCONV"]
EXAMPLE = os.path.join(os.environ["UTM_SOURCE_DIR"], "examples", "dask_convert.py")
FILES = 4
ROWS = 500_000  # a file: two million rows in all


@pytest.fixture(scope="module")
def survey(tmp_path_factory):
    """A folder of survey files: point name, code, latitude, longitude
    (GPS, six decimals, over Nepal and around it) and height; a few rows
    whose latitude is no number or lies beyond the pole."""
    folder = tmp_path_factory.mktemp("survey")
    r = np.random.default_rng(2026)
    for k in range(FILES):
        lat = ["%.6f" % v for v in r.uniform(25.0, 31.0, ROWS).tolist()]
        lon = ["%.6f" % v for v in r.uniform(79.0, 89.0, ROWS).tolist()]
        height = ["%.3f" % v for v in r.uniform(60.0, 8000.0, ROWS).tolist()]
        lat[17] = ""
        lat[1000 + k] = "95.000000"
        rows = (f"BM{k}-{i},{'CP' if i % 3 == 0 else 'TP'},{lat[i]},{lon[i]},{height[i]}\n"
                for i in range(ROWS))
        (folder / f"block{k}.csv").write_text("Name,Code,Lat,Lon,Height\n" + "".join(rows))
    yield folder
    shutil.rmtree(folder, ignore_errors=True)


def numbers(texts):
    """Python's reading of each text (exact), NaN for an empty one."""
    return np.where(texts == "", "nan", texts).astype(np.float64)


def test_the_dask_example_gives_the_results_of_utmconv_convert(survey, tmp_path):
    output = tmp_path / "grid"
    run = subprocess.run(
        [sys.executable, EXAMPLE, str(survey), str(output), "--workers", "2", "--lat", "Lat",
         "--lon", "Lon", "--latlong-datum", "wgs84"],
        capture_output=True, text=True, timeout=300)
    assert run.returncode == 0, run.stderr
    assert "4 files converted" in run.stdout

    for k in range(FILES):
        name = f"block{k}.csv"
        reference = tmp_path / f"block{k}.txt"
        cli = subprocess.run([UTMCONV, "convert", "--to-xy", "--full-precision",
                              "--latlong-datum", "wgs84", str(survey / name), str(reference)],
                             capture_output=True, text=True)
        assert cli.returncode == 1, cli.stderr  # rows marked, see below
        # Every row comes through as it stood, the two results after it.
        written = (output / name).read_bytes()
        assert written.startswith(b"Name,Code,Lat,Lon,Height,x,y\n")
        assert re.sub(rb",[^,\n]*,[^,\n]*\n", b"\n", written) == (survey / name).read_bytes()

        converted = pandas.read_csv(output / name, usecols=["x", "y"], dtype=str,
                                    keep_default_na=False)
        printed = pandas.read_csv(reference, sep="\t", usecols=["Easting(X)", "Northing(Y)"],
                                  dtype=str, keep_default_na=False)
        assert len(converted) == len(printed) == ROWS
        x, y = (numbers(converted[c].to_numpy()) for c in ("x", "y"))
        px, py = (printed[c].to_numpy() for c in ("Easting(X)", "Northing(Y)"))
        # The row without a latitude and the one beyond the pole (which the
        # datum shift cannot take) are marked by the program, empty here.
        marked = px == "*"
        np.testing.assert_array_equal(np.flatnonzero(marked), [17, 1000 + k])
        np.testing.assert_array_equal(np.isnan(x), marked)
        np.testing.assert_array_equal(np.isnan(y), marked)
        # Printed in general form (15 significant digits), each result reads
        # back as the program's.
        for values, texts in ((x[~marked], px[~marked]), (y[~marked], py[~marked])):
            mine = np.array([float("%.14e" % v) for v in values.tolist()])
            differ = np.flatnonzero(mine != numbers(texts))
            assert differ.size == 0, f"{name}: {differ.size} rows differ, first {differ[0]}"
        os.remove(reference)
    shutil.rmtree(output)
