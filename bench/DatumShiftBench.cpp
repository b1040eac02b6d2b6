// ns per point for a transfer with and without the datum shift: the same
// points through GridTransform with no shift, EPSG:6208 and seven parameters,
// and the shift alone. Runs in geodesy_bench beside the ClsUTM transfer.
#include <benchmark/benchmark.h>

#include "geodesy/DatumShift.h"
#include "geodesy/GridTransform.h"

namespace {

using utm::CoordinatePair;
using utm::CoordinateSystem;
using utm::DatumShift;

// Points spread over a zone, as in GeodesyBench.cpp, so that the figures compare.
constexpr int kPoints = 1024;

DatumShift ShiftOf(int which) {
    switch (which) {
        case 1:
            return DatumShift::Epsg6208();
        case 2:
            return DatumShift::Parse("helmert-pv:296.207,731.545,273.001,0.8,-1.9,2.6,-4.7");
        default:
            return DatumShift::None();
    }
}

void SetLabel(benchmark::State& state) {
    state.SetLabel(ShiftOf(static_cast<int>(state.range(0))).ToString());
}

// wgs84-44 → everest84, the transfer window's "WGS84-44 to Everest-84".
void BM_TransformWgs84Zone44ToEverest84(benchmark::State& state) {
    const utm::GridTransform transform(CoordinateSystem::WGS84Zone44, CoordinateSystem::Everest84,
                                       ShiftOf(static_cast<int>(state.range(0))));
    int i = 0;
    for (auto _ : state) {
        const double x = 300000.0 + 400.0 * (i % kPoints);
        const double y = 2900000.0 + 300.0 * (i % kPoints);
        CoordinatePair out = transform.Apply(x, y);
        benchmark::DoNotOptimize(out);
        ++i;
    }
    SetLabel(state);
}
BENCHMARK(BM_TransformWgs84Zone44ToEverest84)->Arg(0)->Arg(1)->Arg(2);

// latlong-wgs84 → everest84: GPS latitude/longitude to the Everest-84 grid.
void BM_TransformLatLongWgs84ToEverest84(benchmark::State& state) {
    const utm::GridTransform transform(CoordinateSystem::LatLongWGS84, CoordinateSystem::Everest84,
                                       ShiftOf(static_cast<int>(state.range(0))));
    int i = 0;
    for (auto _ : state) {
        const double lat = 26.0 + 0.004 * (i % kPoints);
        const double lon = 81.0 + 0.006 * (i % kPoints);
        CoordinatePair out = transform.Apply(lat, lon);
        benchmark::DoNotOptimize(out);
        ++i;
    }
    SetLabel(state);
}
BENCHMARK(BM_TransformLatLongWgs84ToEverest84)->Arg(0)->Arg(1)->Arg(2);

// The datum shift alone, WGS 84 → Nepal 1981, radians.
void BM_ShiftToNepal1981(benchmark::State& state) {
    const utm::DatumTransformation shift(ShiftOf(static_cast<int>(state.range(0))));
    int i = 0;
    for (auto _ : state) {
        const utm::GeodeticPoint p{0.45 + 0.00007 * (i % kPoints), 1.41 + 0.0001 * (i % kPoints)};
        utm::GeodeticPoint out = shift.ToNepal1981(p);
        benchmark::DoNotOptimize(out);
        ++i;
    }
    SetLabel(state);
}
BENCHMARK(BM_ShiftToNepal1981)->Arg(1)->Arg(2);

}  // namespace
