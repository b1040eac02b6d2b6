#!/usr/bin/python3
"""Convert a folder of CSV files of points to the Everest-84 grid on a Dask cluster.

Every CSV file of INPUT (a header row naming a latitude and a longitude
column, any other columns beside them) gives the file of the same name in
OUTPUT: each row with every field as it stood, then X and Y on the grid,
computed by the utmconv module on the workers (the numbers of `utmconv
convert --full-precision`, written in their shortest exact form). A row whose
point cannot be computed, or whose latitude or longitude is no number, gets
empty X and Y.

On this machine (a LocalCluster of --workers processes):

    PYTHONPATH=build/python /usr/bin/python3 examples/dask_convert.py points/ grid/

On a cluster: start `dask scheduler` on one machine and `dask worker
tcp://HOST:8786` on each of the others, with the module importable there and
INPUT and OUTPUT at the same paths on every machine (a shared file system),
then:

    /usr/bin/python3 examples/dask_convert.py --scheduler tcp://HOST:8786 points/ grid/

The steps: dask.dataframe.read_csv (every field read as text, one partition
a file), map_partitions (convert_partition below), to_csv.
"""

import argparse
import glob
import os
import sys
import time


def convert_partition(frame, lat="lat", lon="lon", cm=84.0, ellipsoid="everest",
                      latlong_datum="everest", names=("x", "y")):
    """`frame` (pandas, fields as text) with the two result columns appended."""
    import pandas
    import utmconv

    latitude = pandas.to_numeric(frame[lat], errors="coerce").to_numpy(dtype="float64")
    longitude = pandas.to_numeric(frame[lon], errors="coerce").to_numpy(dtype="float64")
    x, y = utmconv.to_xy(latitude, longitude, cm=cm, ellipsoid=ellipsoid,
                         latlong_datum=latlong_datum, errors="nan")
    return frame.assign(**{names[0]: x, names[1]: y})


def parse_arguments(argv):
    parser = argparse.ArgumentParser(
        description="Convert a folder of CSV files of latitudes and longitudes to the "
        "Everest-84 grid (or another central meridian) with Dask and the utmconv module.")
    parser.add_argument("input", help="folder of CSV files (*.csv)")
    parser.add_argument("output", help="folder for the results (made when missing)")
    parser.add_argument("--scheduler", metavar="tcp://HOST:8786",
                        help="address of a running Dask scheduler (default: a LocalCluster)")
    parser.add_argument("--workers", type=int, default=2,
                        help="worker processes of the LocalCluster (default 2)")
    parser.add_argument("--lat", default="lat", help="latitude column (default lat)")
    parser.add_argument("--lon", default="lon", help="longitude column (default lon)")
    parser.add_argument("--cm", type=float, default=84.0,
                        help="central meridian, degrees east (default 84)")
    parser.add_argument("--latlong-datum", choices=["everest", "wgs84"], default="everest",
                        help="datum of the latitudes and longitudes: everest (Nepal 1981, the "
                        "default) or wgs84 (GPS, shifted with EPSG:6208)")
    parser.add_argument("--names", default="x,y",
                        help="names of the two result columns (default x,y)")
    return parser.parse_args(argv)


def run(args):
    """Converts every file of args.input on the client's cluster; returns the
    paths written."""
    import dask.dataframe as dd

    paths = sorted(glob.glob(os.path.join(args.input, "*.csv")))
    if not paths:
        raise SystemExit(f"dask_convert: {args.input} holds no *.csv file")
    names = tuple(args.names.split(","))
    frames = dd.read_csv(paths, dtype=str, keep_default_na=False, blocksize=None)
    missing = {args.lat, args.lon} - set(frames.columns)
    if missing:
        raise SystemExit(f"dask_convert: no column {', '.join(sorted(missing))} in {args.input}")
    meta = {**{column: "object" for column in frames.columns}, names[0]: "float64",
            names[1]: "float64"}
    converted = frames.map_partitions(
        convert_partition, lat=args.lat, lon=args.lon, cm=args.cm, ellipsoid="everest",
        latlong_datum=args.latlong_datum, names=names, meta=meta)
    os.makedirs(args.output, exist_ok=True)
    # One partition a file, in the order of `paths`: each goes to its own name.
    stems = [os.path.splitext(os.path.basename(p))[0] for p in paths]
    return converted.to_csv(os.path.join(args.output, "*.csv"), index=False,
                            name_function=lambda i: stems[i])


def main(argv=None):
    args = parse_arguments(sys.argv[1:] if argv is None else argv)
    from dask.distributed import Client, LocalCluster

    if args.scheduler:
        cluster = None
        client = Client(args.scheduler)
    else:
        cluster = LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True,
                               dashboard_address=None)
        client = Client(cluster)
    try:
        start = time.perf_counter()
        written = run(args)
        seconds = time.perf_counter() - start
        workers = len(client.scheduler_info()["workers"])
        print(f"dask_convert: {len(written)} files converted in {seconds:.2f} s on {workers} "
              f"workers")
    finally:
        client.close()
        if cluster is not None:
            cluster.close()


if __name__ == "__main__":
    main()
