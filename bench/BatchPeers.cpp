// The peers utmconv's batch runs are measured against (scripts/bench-batch):
//
//   batch_peers floor JOB DATAFILE OUTFILE
//       the floor: one thread streams the file in 1 MB blocks, reads each
//       line with utmconv's own pair scanner, projects with utmconv's series
//       and writes the line with utmconv's own number writers, byte for byte
//       as utmconv writes it (header line aside); nothing else (no checks,
//       no findings, no temporary file, no fsync). What one core cannot go
//       below with utmconv's own parts.
//   batch_peers proj JOB DATAFILE OUTFILE
//       a loop around PROJ's C API (proj_trans on the same grids, the
//       approximate Transverse Mercator as cs2cs is run in the script), with
//       std::from_chars and std::to_chars: what a surveyor could write around
//       PROJ's library.
//
// JOB is to-xy (lat,lon on Everest 1830, 84° E), to-latlong (X,Y on that grid)
// or transfer (X,Y on WGS84 UTM zone 44 to Everest 1830, 84° E). Input lines are
// "a,b" with CR LF; output lines CR LF as utmconv writes them: for convert
// "a<TAB>b<TAB>c<TAB>d", the results rounded to three decimals; for transfer
// "a,b,c,d" with the results unrounded.
#include <fcntl.h>
#include <proj.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "common/FastNumberFormat.h"
#include "common/PairScanner.h"
#include "geodesy/Angles.h"
#include "geodesy/Ellipsoid.h"
#include "geodesy/GridDefinition.h"
#include "geodesy/TransverseMercator.h"

namespace {

enum class Job { ToXY, ToLatLong, Transfer };

constexpr const char* kEverest84 =
    "+proj=tmerc +approx +lat_0=0 +lon_0=84 +k=0.9999 +x_0=500000 +y_0=0 +a=6377276.345 "
    "+b=6356075.413 +units=m +no_defs";
constexpr const char* kWgs44 =
    "+proj=tmerc +approx +lat_0=0 +lon_0=81 +k=0.9996 +x_0=500000 +y_0=0 +ellps=WGS84 +units=m "
    "+no_defs";

[[noreturn]] void Die(const char* what) {
    std::fprintf(stderr, "batch_peers: %s\n", what);
    std::exit(2);
}

void WriteAll(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w <= 0) Die("cannot write");
        p += w;
        n -= static_cast<std::size_t>(w);
    }
}

/// Projects one pair for the job, either with utmconv's series or with PROJ.
class Projector {
  public:
    Projector(bool proj, Job job) : job_(job) {
        if (!proj) return;
        ctx_ = proj_context_create();
        if (job == Job::Transfer) {
            pj_ = proj_create(ctx_, (std::string("+proj=pipeline +step +inv ") + (kWgs44 + 0) +
                                     " +step " + kEverest84)
                                        .c_str());
        } else {
            pj_ = proj_create(ctx_, kEverest84);
        }
        if (pj_ == nullptr) Die("PROJ refuses the projection");
    }
    ~Projector() {
        if (pj_ != nullptr) proj_destroy(pj_);
        if (ctx_ != nullptr) proj_context_destroy(ctx_);
    }

    void Run(double a, double b, double& c, double& d) const {
        if (pj_ != nullptr) {
            PJ_COORD in;
            if (job_ == Job::ToXY) {
                in = proj_coord(proj_torad(b), proj_torad(a), 0, 0);
            } else {
                in = proj_coord(a, b, 0, 0);
            }
            const PJ_COORD out = proj_trans(pj_, job_ == Job::ToLatLong ? PJ_INV : PJ_FWD, in);
            if (job_ == Job::ToLatLong) {
                c = proj_todeg(out.lp.phi);
                d = proj_todeg(out.lp.lam);
            } else {
                c = out.xy.x;
                d = out.xy.y;
            }
            return;
        }
        const double cm = utm::DegreesToRadians(84.0);
        switch (job_) {
            case Job::ToXY: {
                const utm::GridPoint g =
                    utm::ForwardSeries(utm::Everest1830Terms(), utm::kEverestScaleFactor,
                                       utm::DegreesToRadians(a), utm::DegreesToRadians(b), cm);
                c = g.x;
                d = g.y;
                return;
            }
            case Job::ToLatLong: {
                const utm::GeodeticPoint g =
                    utm::InverseSeries(utm::Everest1830Terms(), utm::kEverestScaleFactor, a, b, cm);
                c = utm::RadiansToDegrees(g.phi);
                d = utm::RadiansToDegrees(g.lambda);
                return;
            }
            case Job::Transfer: {
                const utm::GeodeticPoint g = utm::InverseSeries(
                    utm::WGS84Terms(), utm::kWGS84ScaleFactor, a, b, utm::DegreesToRadians(81.0));
                // Through degrees between the two series, as utmconv's transfer
                // forms them (the same bits).
                const utm::GridPoint p =
                    utm::ForwardSeries(utm::Everest1830Terms(), utm::kEverestScaleFactor,
                                       utm::DegreesToRadians(utm::RadiansToDegrees(g.phi)),
                                       utm::DegreesToRadians(utm::RadiansToDegrees(g.lambda)), cm);
                c = p.x;
                d = p.y;
                return;
            }
        }
    }

  private:
    Job job_;
    PJ_CONTEXT* ctx_ = nullptr;
    PJ* pj_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) Die("usage: batch_peers floor|proj to-xy|to-latlong|transfer DATAFILE OUTFILE");
    const bool proj = std::strcmp(argv[1], "proj") == 0;
    const std::string_view jobName = argv[2];
    const Job job = jobName == "to-xy"        ? Job::ToXY
                    : jobName == "to-latlong" ? Job::ToLatLong
                                              : Job::Transfer;
    const int in = ::open(argv[3], O_RDONLY);
    const int out = ::open(argv[4], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0) Die("cannot open the files");
    const Projector projector(proj, job);
    const char separator = job == Job::Transfer ? ',' : '\t';

    constexpr std::size_t kBlock = 1 << 20;
    std::string buffer(kBlock + 256, '\0');
    std::string output;
    output.reserve(2 * kBlock + 4096);
    std::size_t used = 0;
    for (bool end = false; !end;) {
        const ssize_t n = ::read(in, buffer.data() + used, kBlock - used);
        if (n < 0) Die("cannot read");
        end = n == 0;
        used += static_cast<std::size_t>(n);
        const char* p = buffer.data();
        const char* const stop = p + used;
        // Whole lines only, unless the file ended.
        const char* last = stop;
        if (!end) {
            last = static_cast<const char*>(memrchr(p, '\n', used));
            if (last == nullptr) continue;
            ++last;
        }
        if (proj) {
            while (p < last) {
                const char* eol = static_cast<const char*>(std::memchr(p, '\n', last - p));
                if (eol == nullptr) eol = last;
                double a = 0, b = 0, c = 0, d = 0;
                const auto r1 = std::from_chars(p, eol, a);
                const char* q = r1.ptr < eol && *r1.ptr == ',' ? r1.ptr + 1 : r1.ptr;
                std::from_chars(q, eol, b);
                projector.Run(a, b, c, d);
                char line[160];
                char* w = line;
                w = std::to_chars(w, line + sizeof line, a).ptr;
                *w++ = separator;
                w = std::to_chars(w, line + sizeof line, b).ptr;
                *w++ = separator;
                if (job == Job::Transfer) {
                    w = std::to_chars(w, line + sizeof line, c).ptr;
                    *w++ = separator;
                    w = std::to_chars(w, line + sizeof line, d).ptr;
                } else {
                    w = std::to_chars(w, line + sizeof line, c, std::chars_format::fixed, 3).ptr;
                    *w++ = separator;
                    w = std::to_chars(w, line + sizeof line, d, std::chars_format::fixed, 3).ptr;
                }
                *w++ = '\r';
                *w++ = '\n';
                output.append(line, static_cast<std::size_t>(w - line));
                p = eol + 1;
            }
        } else {
            while (p < last) {
                utm::ScannedNumber first;
                utm::ScannedNumber second;
                if (!utm::ScanPlainPair(p, last, ',', first, second))
                    Die("a line is no plain pair");
                double c = 0, d = 0;
                projector.Run(first.value, second.value, c, d);
                char line[160];
                char* w = line;
                const auto input = [&](const utm::ScannedNumber& n) {
                    if (n.generalForm) {
                        std::memcpy(w, n.text.data(), n.text.size());
                        w += n.text.size();
                    } else {
                        w = job == Job::Transfer ? utm::WritePlainDecimal(w, n.value)
                                                 : utm::WriteGeneral(w, n.value);
                    }
                    *w++ = separator;
                };
                input(first);
                input(second);
                if (job == Job::Transfer) {
                    w = utm::WritePlainDecimal(w, c);
                    *w++ = separator;
                    w = utm::WritePlainDecimal(w, d);
                } else {
                    double rounded = 0;
                    w = utm::WriteRoundedFixed3(w, c, '.', rounded);
                    *w++ = separator;
                    w = utm::WriteRoundedFixed3(w, d, '.', rounded);
                }
                *w++ = '\r';
                *w++ = '\n';
                output.append(line, static_cast<std::size_t>(w - line));
            }
        }
        WriteAll(out, output.data(), output.size());
        output.clear();
        used = static_cast<std::size_t>(stop - last);
        std::memmove(buffer.data(), last, used);
    }
    ::close(in);
    if (::close(out) != 0) Die("cannot write");
    return 0;
}
