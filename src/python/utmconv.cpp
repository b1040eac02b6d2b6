// The Python module utmconv: the conversions of `utmconv point`, `transfer`
// and `transform` on numbers and NumPy arrays, through the same functions
// (PointConversion, GridTransform), so that every result is the program's
// own bit for bit.
//
// An argument is read as NumPy reads it (np.asarray), float32 and float64 in
// place through their strides and anything else converted to float64 first;
// the two arguments are broadcast together, the results are new float64
// arrays of the broadcast shape (two floats when both arguments are numbers).
// The points go through in chunks with the GIL released, in two halves on two
// threads from kParallelPoints points on.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cli/OptionHelp.h"
#include "geodesy/ArithmeticError.h"
#include "geodesy/DatumShift.h"
#include "geodesy/GridTransform.h"
#include "geodesy/ParameterError.h"
#include "geodesy/PointConversion.h"
#include "geodesy/ProjectionDomain.h"
#include "operations/TransferKind.h"

namespace py = pybind11;
using namespace pybind11::literals;

namespace {

/// Arrays of at least this many points are converted in two halves, one on
/// a second thread.
constexpr std::size_t kParallelPoints = 100000;
/// Points converted at a time: the gathered inputs stay in the cache, and a
/// run that stops at its first failed point stops soon after it.
constexpr std::size_t kChunk = 4096;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

/// What a call does with a point that cannot be computed.
enum class OnPointError {
    Raise,  ///< ValueError naming the first such point and the reason
    Nan,    ///< NaN as both of its results, and on with the others
};

/// One argument broadcast to the shape of the call: float64 or float32
/// elements anywhere in memory, read through their strides.
struct Operand {
    const char* data = nullptr;
    bool single = false;  ///< float32 elements, else float64
    /// Aligned C-contiguous float64 elements: the conversion reads them in place.
    bool inPlace = false;
    std::vector<py::ssize_t> shape;
    std::vector<py::ssize_t> strides;  ///< bytes
};

/// A conversion of `count` pairs: a point that cannot be converted gets
/// results that are not finite.
using BlockConversion =
    std::function<void(std::size_t count, const double* first, const double* second,
                       double* resultFirst, double* resultSecond)>;
/// Why the pair cannot be converted: the message of the error the one-point
/// conversion raises for it.
using PointReason = std::function<std::string(double first, double second)>;

/// `value` as an array of numbers: float64 and float32 arrays as they are,
/// everything else (integers, lists, other float types, the other byte
/// order) converted to float64. Text, complex numbers, dates and records are
/// refused with TypeError naming the argument.
py::array AsNumbers(py::handle value, const char* name) {
    const py::module_ numpy = py::module_::import("numpy");
    py::array array = numpy.attr("asarray")(value);
    const py::dtype dtype = array.dtype();
    const char kind = dtype.kind();
    if (kind != 'f' && kind != 'i' && kind != 'u' && kind != 'b' && kind != 'O') {
        throw py::type_error(std::string(name) + ": give numbers or arrays of numbers, not " +
                             dtype.attr("name").cast<std::string>());
    }
    const bool native = dtype.attr("isnative").cast<bool>();
    if (kind == 'f' && native && (dtype.itemsize() == 8 || dtype.itemsize() == 4)) return array;
    return numpy.attr("asarray")(array, "dtype"_a = "float64");
}

Operand OperandOf(const py::array& array) {
    Operand operand;
    operand.data = static_cast<const char*>(array.data());
    operand.single = array.itemsize() == 4;
    for (py::ssize_t k = 0; k < array.ndim(); ++k) {
        operand.shape.push_back(array.shape(k));
        operand.strides.push_back(array.strides(k));
    }
    const bool aligned = reinterpret_cast<std::uintptr_t>(operand.data) % alignof(double) == 0;
    operand.inPlace =
        !operand.single && aligned && (array.flags() & py::array::c_style) == py::array::c_style;
    return operand;
}

double Load(const Operand& operand, const char* element) {
    if (operand.single) {
        float value;
        std::memcpy(&value, element, sizeof value);
        return value;
    }
    double value;
    std::memcpy(&value, element, sizeof value);
    return value;
}

/// Reads the elements `start` to `start` + `count` - 1 of `operand`, in C
/// order, into `out` as float64.
void Gather(const Operand& operand, std::size_t start, std::size_t count, double* out) {
    const std::size_t dims = operand.shape.size();
    if (dims == 0) {
        if (count != 0) out[0] = Load(operand, operand.data);
        return;
    }
    // The index of `start` in every dimension, and its offset in bytes.
    std::vector<py::ssize_t> index(dims);
    std::size_t rest = start;
    std::ptrdiff_t offset = 0;
    for (std::size_t k = dims; k-- > 0;) {
        const auto extent = static_cast<std::size_t>(operand.shape[k]);
        index[k] = static_cast<py::ssize_t>(rest % extent);
        rest /= extent;
        offset += index[k] * operand.strides[k];
    }
    for (std::size_t j = 0; j < count; ++j) {
        out[j] = Load(operand, operand.data + offset);
        // The next element: the last dimension first, carried into the ones before.
        for (std::size_t k = dims; k-- > 0;) {
            offset += operand.strides[k];
            if (++index[k] < operand.shape[k] || k == 0) break;
            offset -= operand.strides[k] * operand.shape[k];
            index[k] = 0;
        }
    }
}

/// Converts the elements `begin` to `end` - 1 into `resultFirst` and
/// `resultSecond` and gives NaN as both results to every point whose results
/// are not finite. Returns the index of the first such point, or `end`; with
/// `stopAtFailure` it returns as soon as it meets one.
std::size_t ConvertRange(const BlockConversion& convert, const Operand& first,
                         const Operand& second, double* resultFirst, double* resultSecond,
                         std::size_t begin, std::size_t end, bool stopAtFailure) {
    std::size_t failed = end;
    std::vector<double> firstBuffer(first.inPlace ? 0 : kChunk);
    std::vector<double> secondBuffer(second.inPlace ? 0 : kChunk);
    for (std::size_t start = begin; start < end; start += kChunk) {
        const std::size_t n = std::min(kChunk, end - start);
        const double* a = nullptr;
        const double* b = nullptr;
        if (first.inPlace) {
            a = reinterpret_cast<const double*>(first.data) + start;
        } else {
            Gather(first, start, n, firstBuffer.data());
            a = firstBuffer.data();
        }
        if (second.inPlace) {
            b = reinterpret_cast<const double*>(second.data) + start;
        } else {
            Gather(second, start, n, secondBuffer.data());
            b = secondBuffer.data();
        }
        double* ra = resultFirst + start;
        double* rb = resultSecond + start;
        convert(n, a, b, ra, rb);
        for (std::size_t i = 0; i < n; ++i) {
            if (std::isfinite(ra[i]) && std::isfinite(rb[i])) continue;
            ra[i] = kNaN;
            rb[i] = kNaN;
            if (failed == end) failed = start + i;
        }
        if (stopAtFailure && failed != end) return failed;
    }
    return failed;
}

/// The index of the flat (C order) position `flat` in `shape`: "7" for one
/// dimension, "(1, 3)" for more.
std::string IndexText(std::size_t flat, const std::vector<py::ssize_t>& shape) {
    if (shape.size() <= 1) return std::to_string(flat);
    std::vector<std::size_t> index(shape.size());
    for (std::size_t k = shape.size(); k-- > 0;) {
        const auto extent = static_cast<std::size_t>(shape[k]);
        index[k] = flat % extent;
        flat /= extent;
    }
    std::string text = "(";
    for (std::size_t k = 0; k < index.size(); ++k) {
        text += (k == 0 ? "" : ", ") + std::to_string(index[k]);
    }
    return text + ")";
}

/// The call of every function: reads and broadcasts the two arguments,
/// converts every point with the GIL released (two threads for large
/// arrays) and returns the two results.
py::tuple Convert(py::handle firstValue, py::handle secondValue, const char* firstName,
                  const char* secondName, OnPointError onError, const BlockConversion& convert,
                  const PointReason& reason) {
    const py::module_ numpy = py::module_::import("numpy");
    const py::array firstArray = AsNumbers(firstValue, firstName);
    const py::array secondArray = AsNumbers(secondValue, secondName);
    const py::sequence views = numpy.attr("broadcast_arrays")(firstArray, secondArray);
    const py::array firstView = views[0].cast<py::array>();
    const py::array secondView = views[1].cast<py::array>();
    const Operand first = OperandOf(firstView);
    const Operand second = OperandOf(secondView);

    std::size_t count = 1;
    for (const py::ssize_t extent : first.shape) count *= static_cast<std::size_t>(extent);
    py::array_t<double> resultFirst(first.shape);
    py::array_t<double> resultSecond(first.shape);
    double* ra = resultFirst.mutable_data();
    double* rb = resultSecond.mutable_data();

    const bool stop = onError == OnPointError::Raise;
    std::size_t failed = count;
    {
        py::gil_scoped_release release;
        if (count >= kParallelPoints && std::thread::hardware_concurrency() >= 2) {
            const std::size_t half = count / 2;
            std::size_t failedAfter = count;
            std::exception_ptr workerError;
            std::thread worker([&] {
                try {
                    failedAfter = ConvertRange(convert, first, second, ra, rb, half, count, stop);
                } catch (...) {
                    workerError = std::current_exception();
                }
            });
            std::size_t failedBefore = half;
            std::exception_ptr ownError;
            try {
                failedBefore = ConvertRange(convert, first, second, ra, rb, 0, half, stop);
            } catch (...) {
                ownError = std::current_exception();
            }
            worker.join();
            if (ownError) std::rethrow_exception(ownError);
            if (workerError) std::rethrow_exception(workerError);
            failed = failedBefore < half ? failedBefore : failedAfter;
        } else {
            failed = ConvertRange(convert, first, second, ra, rb, 0, count, stop);
        }
    }
    if (stop && failed < count) {
        double a = 0.0;
        double b = 0.0;
        Gather(first, failed, 1, &a);
        Gather(second, failed, 1, &b);
        std::string why = reason(a, b);
        if (why.empty()) why = "the result is not finite";
        throw py::value_error("at index " + IndexText(failed, first.shape) + ": " + why);
    }
    if (first.shape.empty()) return py::make_tuple(py::float_(ra[0]), py::float_(rb[0]));
    return py::make_tuple(resultFirst, resultSecond);
}

OnPointError ParseErrors(const std::string& text) {
    if (text == "raise") return OnPointError::Raise;
    if (text == "nan") return OnPointError::Nan;
    throw py::value_error("errors: " + text + " not in {raise,nan}");
}

/// True for "wgs84", false for "everest" (the texts of --ellipsoid and --latlong-datum).
bool ParseWGS84(const std::string& text, const char* name) {
    if (text == "wgs84") return true;
    if (text == "everest") return false;
    throw py::value_error(std::string(name) + ": " + text + " not in {everest,wgs84}");
}

utm::DatumShift ParseDatumShift(const std::string& text) {
    try {
        return utm::DatumShift::Parse(text);
    } catch (const utm::ParameterError& e) {
        throw py::value_error(std::string("datum_shift: ") + e.what());
    }
}

utm::CoordinateSystem ParseSystem(const std::string& text, const char* name) {
    try {
        return utm::ParseCoordinateSystem(text);
    } catch (const utm::ParameterError& e) {
        throw py::value_error(std::string(name) + ": " + e.what());
    }
}

/// The transfer kind of `kind`: a position 0 to 7 (an int, or its digit as
/// text) or a caption, as utmconv transfer --kind takes it.
int ParseKind(py::handle kind) {
    std::string text;
    if (py::isinstance<py::str>(kind)) {
        text = kind.cast<std::string>();
        if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + utm::kTransferKindCount) {
            return text[0] - '0';
        }
        if (const std::optional<int> position = utm::TransferKindFromCaption(text)) {
            return *position;
        }
    } else if (PyIndex_Check(kind.ptr()) && !PyBool_Check(kind.ptr())) {
        const py::int_ number = py::reinterpret_steal<py::int_>(PyNumber_Index(kind.ptr()));
        if (!number) throw py::error_already_set();
        text = py::repr(number).cast<std::string>();
        for (int position = 0; position < utm::kTransferKindCount; ++position) {
            if (number.equal(py::int_(position))) return position;
        }
    } else {
        throw py::type_error("kind: give 0 to 7 or a caption, not " +
                             py::str(py::type::of(kind).attr("__name__")).cast<std::string>());
    }
    std::string known;
    for (const std::string_view caption : utm::kTransferKindCaptions) {
        known += known.empty() ? "\"" : ", \"";
        known += caption;
        known += "\"";
    }
    throw py::value_error("unknown kind \"" + text + "\": give 0 to " +
                          std::to_string(utm::kTransferKindCount - 1) + " or one of " + known);
}

/// The reason of a point the one-point conversion `convert` refuses: the
/// message of its error, as utmconv words it.
template <typename Conversion>
std::string PointConversionReason(const Conversion& convert) {
    try {
        convert();
    } catch (const utm::PointRangeError& e) {
        return e.what();
    } catch (const utm::ArithmeticError& e) {
        return std::string("the result cannot be computed: ") + e.what();
    }
    return {};
}

py::tuple TransformPoints(py::handle first, py::handle second, const char* firstName,
                          const char* secondName, const utm::GridTransform& transform,
                          OnPointError onError) {
    return Convert(
        first, second, firstName, secondName, onError,
        [&transform](std::size_t n, const double* a, const double* b, double* ra, double* rb) {
            transform.ApplyBlock(n, a, b, ra, rb);
        },
        [&transform](double a, double b) -> std::string {
            try {
                transform.Apply(a, b);
            } catch (const utm::ArithmeticError& e) {
                return "the point " + utm::DegreesText(a) + ", " + utm::DegreesText(b) +
                       " cannot be transferred: " + e.what();
            }
            return {};
        });
}

/// The conversion of to_xy and to_latlong: the grid's ellipsoid, the datum of
/// the latitudes and longitudes (the grid's own unless given) and a central
/// meridian within -180 to 360, each refused with the argument's name.
utm::PointConversion PointConversionOf(double cm, const std::string& ellipsoid,
                                       const std::optional<std::string>& latlongDatum) {
    const bool wgs84 = ParseWGS84(ellipsoid, "ellipsoid");
    const bool latLongWGS84 = latlongDatum ? ParseWGS84(*latlongDatum, "latlong_datum") : wgs84;
    if (const std::string problem = utm::CentralMeridianProblem(cm); !problem.empty()) {
        throw py::value_error("cm: " + problem);
    }
    return utm::PointConversion(wgs84, latLongWGS84, cm);
}

py::tuple ToXY(const py::object& lat, const py::object& lon, double cm,
               const std::string& ellipsoid, const std::optional<std::string>& latlongDatum,
               const std::string& errors) {
    const utm::PointConversion conversion = PointConversionOf(cm, ellipsoid, latlongDatum);
    const OnPointError onError = ParseErrors(errors);
    return Convert(
        lat, lon, "lat", "lon", onError,
        [&conversion](std::size_t n, const double* a, const double* b, double* ra, double* rb) {
            conversion.ToXYBlock(n, a, b, ra, rb);
        },
        [&conversion](double a, double b) {
            return PointConversionReason([&] { conversion.ToXY(a, b); });
        });
}

py::tuple ToLatLong(const py::object& x, const py::object& y, double cm,
                    const std::string& ellipsoid, const std::optional<std::string>& latlongDatum,
                    const std::string& errors) {
    const utm::PointConversion conversion = PointConversionOf(cm, ellipsoid, latlongDatum);
    const OnPointError onError = ParseErrors(errors);
    return Convert(
        x, y, "x", "y", onError,
        [&conversion](std::size_t n, const double* a, const double* b, double* ra, double* rb) {
            conversion.ToLatLongBlock(n, a, b, ra, rb);
        },
        [&conversion](double a, double b) {
            return PointConversionReason([&] { conversion.ToLatLong(a, b); });
        });
}

py::tuple Transfer(const py::object& x, const py::object& y, const py::object& kind,
                   const std::string& datumShift, const std::string& errors) {
    const int position = ParseKind(kind);
    const utm::DatumShift shift = ParseDatumShift(datumShift);
    const OnPointError onError = ParseErrors(errors);
    return TransformPoints(x, y, "x", "y", utm::TransformOfKind(position, shift), onError);
}

py::tuple Transform(const py::object& first, const py::object& second, const std::string& source,
                    const std::string& target, const std::string& datumShift,
                    const std::string& errors) {
    const utm::CoordinateSystem from = ParseSystem(source, "source");
    const utm::CoordinateSystem to = ParseSystem(target, "target");
    const utm::DatumShift shift = ParseDatumShift(datumShift);
    const OnPointError onError = ParseErrors(errors);
    return TransformPoints(first, second, "first", "second", utm::GridTransform(from, to, shift),
                           onError);
}

// --- Documentation -----------------------------------------------------------
// The options' texts are utmconv's own (cli/OptionHelp.h).

const std::string kArraysDoc =
    "Numbers or array-likes (NumPy arrays, lists, pandas columns), broadcast together as\n"
    "NumPy's operators broadcast; float32 and other number types are computed in float64.";
const std::string kErrorsDoc =
    "errors: \"raise\" (the default) raises ValueError naming the index of the first point\n"
    "that cannot be computed and why; \"nan\" gives NaN as both results of every such point\n"
    "and converts the others.";
const std::string kReturnsDoc =
    "Returns two float64 arrays of the broadcast shape, or two floats when both inputs are\n"
    "numbers. The GIL is released while the points are converted; from 100,000 points on\n"
    "they are converted in two halves on two threads.";

std::string PointDoc(const std::string& what, const std::string& command, const char* first,
                     const char* second) {
    return what + ".\nAs `utmconv point " + command + "`, bit for bit.\n\n" + first + ", " +
           second + ": " + kArraysDoc + "\ncm: " + utm::cli::kCentralMeridianHelp +
           " (--cm).\nellipsoid: \"everest\" or \"wgs84\". " + utm::cli::kEllipsoidHelp +
           " (--ellipsoid).\nlatlong_datum: \"everest\", \"wgs84\" or None. " +
           utm::cli::kPointLatLongDatumHelp + " (--latlong-datum).\n" + kErrorsDoc +
           "\n\nA point cannot be computed when its latitude lies outside -90 to 90 or is NaN,\n"
           "its longitude lies outside -180 to 360 or more than 90 degrees from the central\n"
           "meridian, its X and Y have no latitude, or a result is not finite.\n\n" +
           kReturnsDoc;
}

const std::string kToXYDoc = PointDoc(utm::cli::kToXYHelp, "--to-xy LAT LON", "lat", "lon");
const std::string kToLatLongDoc = PointDoc(utm::cli::kToLatLongHelp, "--to-latlong X Y", "x", "y");
const std::string kTransferDoc =
    std::string(
        "Move X and Y to another grid (zone or datum transfer).\n"
        "As `utmconv transfer --kind K --datum-shift SHIFT` on a data file of the\n"
        "points, bit for bit.\n\nx, y: ") +
    kArraysDoc + "\nkind: 0 to 7 or the caption. " + utm::cli::TransferKindHelp() +
    " (--kind).\ndatum_shift: " + utm::cli::kTransferDatumShiftHelp + " (--datum-shift).\n" +
    kErrorsDoc + "\n\n" + kReturnsDoc;
const std::string kTransformDoc =
    std::string(
        "Move coordinate pairs between any two coordinate systems, with or without a\n"
        "datum shift. As `utmconv transform --from SOURCE --to TARGET --datum-shift\n"
        "SHIFT` on a data file of the pairs, bit for bit.\n\nfirst, second: X and Y on "
        "a grid, latitude and longitude (degrees) on a latitude/longitude system. ") +
    kArraysDoc + "\nsource: Source system: " + utm::cli::kCoordinateSystemsHelp +
    " (--from).\ntarget: Target system, as source (--to).\ndatum_shift: " +
    utm::cli::kTransformDatumShiftHelp + " (--datum-shift).\n" + kErrorsDoc + "\n\n" + kReturnsDoc;

}  // namespace

PYBIND11_MODULE(utmconv, m) {
    m.doc() =
        "Coordinates between latitude/longitude and the Transverse Mercator grids of Nepal\n"
        "(Everest 1830, central meridians 81, 84 and 87 degrees east) and the WGS84 UTM zones\n"
        "44 and 45: the conversions of the utmconv program on numbers and NumPy arrays, with\n"
        "the same results bit for bit.\n\n"
        "    x, y = utmconv.to_xy(lat, lon, cm=84, ellipsoid=\"everest\")\n"
        "    lat, lon = utmconv.to_latlong(x, y, cm=84, ellipsoid=\"everest\")\n"
        "    x2, y2 = utmconv.transfer(x, y, kind=2, datum_shift=\"epsg6208\")\n"
        "    a2, b2 = utmconv.transform(a, b, source=\"wgs84-44\", target=\"everest84\",\n"
        "                               datum_shift=\"epsg6208\")";
    m.def("to_xy", &ToXY, kToXYDoc.c_str(), "lat"_a, "lon"_a, py::kw_only(), "cm"_a, "ellipsoid"_a,
          "latlong_datum"_a = py::none(), "errors"_a = "raise");
    m.def("to_latlong", &ToLatLong, kToLatLongDoc.c_str(), "x"_a, "y"_a, py::kw_only(), "cm"_a,
          "ellipsoid"_a, "latlong_datum"_a = py::none(), "errors"_a = "raise");
    m.def("transfer", &Transfer, kTransferDoc.c_str(), "x"_a, "y"_a, py::kw_only(), "kind"_a,
          "datum_shift"_a = "none", "errors"_a = "raise");
    m.def("transform", &Transform, kTransformDoc.c_str(), "first"_a, "second"_a, py::kw_only(),
          "source"_a, "target"_a, "datum_shift"_a = "none", "errors"_a = "raise");
    m.attr("__version__") = UTM_VERSION;
    m.attr("TRANSFER_KINDS") = py::cast(std::vector<std::string>(utm::kTransferKindCaptions.begin(),
                                                                 utm::kTransferKindCaptions.end()));
    m.attr("SYSTEMS") = [] {
        std::vector<std::string> names;
        for (const utm::CoordinateSystem system : utm::kCoordinateSystems) {
            names.emplace_back(utm::NameOf(system));
        }
        return py::cast(names);
    }();
}
