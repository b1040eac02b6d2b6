#!/usr/bin/python3
"""Speed of the Python module utmconv (run by scripts/bench-python on a
Release build, PYTHONPATH holding the module).

1. POINTS points (10,000,000 by default) over Nepal through to_xy,
   to_latlong and transfer (kind 2, WGS84 zone 44 to Everest 84), and
   to_xy from GPS latitudes and longitudes (EPSG:6208), against pyproj's
   Transformer on the same arrays in the same run: Transverse Mercator with
   +approx (the series PROJ offers beside its exact algorithm) and exact, and
   for the datum path EPSG:4326 to Nepal 1981 on the Everest-84 grid written
   as a PROJ string with +towgs84. Targets: at least 4 times faster than
   pyproj +approx on to_xy, to_latlong and transfer.
2. examples/dask_convert.py on a LocalCluster of two worker processes against
   the same steps in one process (pandas and the module, no Dask) on the same
   files. Target: Dask within 1.5 times the single process.

Each time is the best of --runs runs. The results are checked against
pyproj's exact ones, so that both sides do the same job.
"""

import argparse
import os
import shutil
import sys
import tempfile
import time
from types import SimpleNamespace

import numpy as np
import pyproj

import utmconv

EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples")

EVEREST = "+a=6377276.345 +b=6356075.413"
EVEREST84 = f"+proj=tmerc +lat_0=0 +lon_0=84 +k=0.9999 +x_0=500000 +y_0=0 {EVEREST} +units=m"
WGS84_44 = "+proj=tmerc +lat_0=0 +lon_0=81 +k=0.9996 +x_0=500000 +y_0=0 +ellps=WGS84 +units=m"
TOWGS84 = "+towgs84=293.17,726.18,245.36,0,0,0,0"


def best_of(runs, function):
    """The shortest wall time of `runs` calls, and the last call's result."""
    best = float("inf")
    result = None
    for _ in range(runs):
        start = time.perf_counter()
        result = function()
        best = min(best, time.perf_counter() - start)
    return best, result


def tmerc(definition, approx):
    return definition.replace("+proj=tmerc", "+proj=tmerc +approx") if approx else definition


def pipeline(*steps):
    return "+proj=pipeline " + " ".join(f"+step {s}" for s in steps)


def peers(approx):
    """pyproj's transformers of the four jobs: (lon, lat) in degrees, (x, y) in metres."""
    forward = pyproj.Transformer.from_pipeline(
        pipeline("+proj=unitconvert +xy_in=deg +xy_out=rad", tmerc(EVEREST84, approx)))
    inverse = pyproj.Transformer.from_pipeline(
        pipeline("+inv " + tmerc(EVEREST84, approx), "+proj=unitconvert +xy_in=rad +xy_out=deg"))
    transfer = pyproj.Transformer.from_pipeline(
        pipeline("+inv " + tmerc(WGS84_44, approx), tmerc(EVEREST84, approx)))
    datum = pyproj.Transformer.from_crs(
        "EPSG:4326", pyproj.CRS.from_proj4(f"{tmerc(EVEREST84, approx)} {TOWGS84} +no_defs"),
        always_xy=True)
    return {"to_xy": forward, "to_latlong": inverse, "transfer": transfer, "datum": datum}


def array_bench(points, runs):
    r = np.random.default_rng(20261207)
    lat = r.uniform(26.3, 30.5, points)
    lon = r.uniform(80.0, 88.3, points)
    x, y = utmconv.to_xy(lat, lon, cm=84, ellipsoid="everest")
    x44 = r.uniform(300000.0, 700000.0, points)
    y44 = r.uniform(2.9e6, 3.4e6, points)

    mine = {
        "to_xy": lambda: utmconv.to_xy(lat, lon, cm=84, ellipsoid="everest"),
        "to_latlong": lambda: utmconv.to_latlong(x, y, cm=84, ellipsoid="everest"),
        "transfer": lambda: utmconv.transfer(x44, y44, kind=2),
        "datum": lambda: utmconv.to_xy(lat, lon, cm=84, ellipsoid="everest",
                                       latlong_datum="wgs84"),
    }
    inputs = {"to_xy": (lon, lat), "to_latlong": (x, y), "transfer": (x44, y44),
              "datum": (lon, lat)}
    approx = peers(True)
    exact = peers(False)
    rows = []
    for job in ("to_xy", "to_latlong", "transfer", "datum"):
        t_mine, result = best_of(runs, mine[job])
        t_approx, _ = best_of(runs, lambda: approx[job].transform(*inputs[job]))
        t_exact, reference = best_of(runs, lambda: exact[job].transform(*inputs[job]))
        if job == "to_latlong":
            reference = reference[::-1]  # pyproj gives longitude first
        difference = max(float(np.max(np.abs(result[0] - reference[0]))),
                         float(np.max(np.abs(result[1] - reference[1]))))
        rows.append((job, t_mine, t_approx, t_exact, difference))
    return rows


def write_survey(folder, files, rows):
    r = np.random.default_rng(7)
    import pandas

    for k in range(files):
        pandas.DataFrame({
            "Name": np.char.add(f"BM{k}-", np.arange(rows).astype(str)),
            "Code": "CP",
            "Lat": np.char.mod("%.6f", r.uniform(26.3, 30.5, rows)),
            "Lon": np.char.mod("%.6f", r.uniform(80.0, 88.3, rows)),
            "Height": np.char.mod("%.3f", r.uniform(60.0, 8000.0, rows)),
        }).to_csv(os.path.join(folder, f"block{k:02d}.csv"), index=False)


def dask_bench(files, rows, runs):
    import glob

    import pandas
    from dask.distributed import Client, LocalCluster

    sys.path.insert(0, EXAMPLES)
    # The workers import the example too.
    os.environ["PYTHONPATH"] = os.pathsep.join(
        [EXAMPLES] + [p for p in os.environ.get("PYTHONPATH", "").split(os.pathsep) if p])
    import dask_convert

    work = tempfile.mkdtemp(prefix="utm-bench-python-")
    try:
        source = os.path.join(work, "survey")
        os.makedirs(source)
        write_survey(source, files, rows)
        args = SimpleNamespace(input=source, output=os.path.join(work, "dask"), lat="Lat",
                               lon="Lon", cm=84.0, latlong_datum="wgs84", names="x,y")

        def single():
            out = os.path.join(work, "single")
            os.makedirs(out, exist_ok=True)
            for path in sorted(glob.glob(os.path.join(source, "*.csv"))):
                frame = pandas.read_csv(path, dtype=str, keep_default_na=False)
                frame = dask_convert.convert_partition(frame, lat="Lat", lon="Lon",
                                                       latlong_datum="wgs84")
                frame.to_csv(os.path.join(out, os.path.basename(path)), index=False)

        t_single, _ = best_of(runs, single)
        start = time.perf_counter()
        cluster = LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                               dashboard_address=None)
        client = Client(cluster)
        t_start = time.perf_counter() - start
        try:
            t_dask, _ = best_of(runs, lambda: dask_convert.run(args))
        finally:
            client.close()
            cluster.close()
        same = all(
            open(os.path.join(work, "single", name), "rb").read()
            == open(os.path.join(work, "dask", name), "rb").read()
            for name in os.listdir(os.path.join(work, "single")))
        return t_single, t_dask, t_start, same
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--points", type=int, default=10_000_000)
    parser.add_argument("--dask-files", type=int, default=8)
    parser.add_argument("--dask-rows", type=int, default=500_000, help="rows a file")
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()

    print(f"points: {args.points:,}, {os.cpu_count()} cores, best of {args.runs} runs, "
          f"load average {' '.join(open('/proc/loadavg').read().split()[:3])}")
    print(f"utmconv {utmconv.__version__}, pyproj {pyproj.__version__} (PROJ "
          f"{pyproj.proj_version_str}), NumPy {np.__version__}\n")
    rows = array_bench(args.points, args.runs)
    print(f"{'job':<24} {'utmconv s':>9} {'approx s':>9} {'exact s':>9} "
          f"{'approx/utmconv':>14} {'exact/utmconv':>13} {'max |diff| exact':>17}")
    names = {"to_xy": "to_xy", "to_latlong": "to_latlong", "transfer": "transfer (kind 2)",
             "datum": "to_xy GPS (EPSG:6208)"}
    for job, mine, approx, exact, difference in rows:
        unit = "deg" if job == "to_latlong" else "m"
        print(f"{names[job]:<24} {mine:9.3f} {approx:9.3f} {exact:9.3f} {approx / mine:14.2f} "
              f"{exact / mine:13.2f} {difference:13.3g} {unit}")
    print()
    for job, mine, approx, _, _ in rows:
        if job != "datum":
            verdict = "met" if approx / mine >= 4 else "NOT met"
            print(f"{names[job]:<24} pyproj +approx / utmconv {approx / mine:.2f} "
                  f"(target >= 4: {verdict})")

    total = args.dask_files * args.dask_rows
    print(f"\nDask: {args.dask_files} files of {args.dask_rows:,} survey rows ({total:,} rows), "
          "GPS to the Everest-84 grid")
    single, dask, startup, same = dask_bench(args.dask_files, args.dask_rows, args.runs)
    print(f"{'one process (pandas + module)':<34} {single:8.2f} s")
    print(f"{'Dask, LocalCluster of 2 workers':<34} {dask:8.2f} s  "
          f"(starting the cluster: {startup:.2f} s more)")
    verdict = "met" if dask / single <= 1.5 else "NOT met"
    print(f"Dask / one process {dask / single:.2f} (target <= 1.5: {verdict}); "
          f"the files {'are' if same else 'are NOT'} byte for byte the same")


if __name__ == "__main__":
    main()
