// ns per point for the forward and inverse projections and for one transfer.
#include <benchmark/benchmark.h>

#include "geodesy/ClsUTM.h"

namespace {

// Points spread over a zone so the branch predictor and caches see real work.
constexpr int kPoints = 1024;

void BM_LatLongToXYEverest(benchmark::State& state) {
    const utm::ClsUTM utm;
    double east = 0.0, north = 0.0;
    int i = 0;
    for (auto _ : state) {
        const double lat = 26.0 + 0.004 * (i % kPoints);
        const double lon = 81.0 + 0.006 * (i % kPoints);
        utm.LatLongToXYEverest(lat, lon, 84.0, east, north);
        benchmark::DoNotOptimize(east);
        benchmark::DoNotOptimize(north);
        ++i;
    }
}
BENCHMARK(BM_LatLongToXYEverest);

void BM_XYToLatLongEverest(benchmark::State& state) {
    const utm::ClsUTM utm;
    double lat = 0.0, lon = 0.0;
    int i = 0;
    for (auto _ : state) {
        const double x = 300000.0 + 400.0 * (i % kPoints);
        const double y = 2900000.0 + 300.0 * (i % kPoints);
        utm.XYToLatLongEverest(x, y, 84.0, lat, lon);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
        ++i;
    }
}
BENCHMARK(BM_XYToLatLongEverest);

void BM_XYwgs81ToXYEverest84(benchmark::State& state) {
    const utm::ClsUTM utm;
    double outX = 0.0, outY = 0.0;
    int i = 0;
    for (auto _ : state) {
        const double x = 300000.0 + 400.0 * (i % kPoints);
        const double y = 2900000.0 + 300.0 * (i % kPoints);
        utm.XYwgs81ToXYEverest84(x, y, outX, outY);
        benchmark::DoNotOptimize(outX);
        benchmark::DoNotOptimize(outY);
        ++i;
    }
}
BENCHMARK(BM_XYwgs81ToXYEverest84);

}  // namespace

BENCHMARK_MAIN();
