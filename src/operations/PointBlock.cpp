#include "operations/PointBlock.h"

#include "common/FastNumberFormat.h"
#include "common/NumberFormat.h"
#include "common/NumericText.h"

namespace utm {

namespace {

std::string PointText(const PointRow& point) {
    return "(" + FormatGeneral(point[0]) + ", " + FormatGeneral(point[1]) + ")";
}

}  // namespace

PointTransferError::PointTransferError(std::size_t row, const std::string& what)
    : ArithmeticError(what), row_(row) {}

PointRow PointFromFields(std::string_view first, std::string_view second, char decimalSeparator) {
    PointRow point{0.0, 0.0};
    // A field that is not a number leaves its value at 0.
    ParseLocaleNumber(first, decimalSeparator, point[0]);
    ParseLocaleNumber(second, decimalSeparator, point[1]);
    return point;
}

PointRow SplitPointLine(std::string_view line, char delimiter, char decimalSeparator) {
    const std::size_t first = line.find(delimiter);
    if (first == std::string_view::npos) return {0.0, 0.0};
    if (line.find(delimiter, first + 1) != std::string_view::npos) return {0.0, 0.0};
    return PointFromFields(line.substr(0, first), line.substr(first + 1), decimalSeparator);
}

ResultBlock TransferPoints(int kind, const PointBlock& points, const DatumShift& shift) {
    ResultBlock result(points.size());
    TransferPointRows(kind, points, 0, points.size(), result, shift);
    return result;
}

void TransferPointRows(int kind, const PointBlock& points, std::size_t first, std::size_t last,
                       ResultBlock& result, const DatumShift& shift) {
    if (!IsTransferKind(kind)) return;
    const GridTransform transform = TransformOfKind(kind, shift);
    for (std::size_t i = first; i < last; ++i) {
        CoordinatePair out{};
        try {
            out = transform.Apply(points[i][0], points[i][1]);
        } catch (const ArithmeticError& e) {
            throw PointTransferError(
                i, "the point " + PointText(points[i]) + " cannot be transferred: " + e.what());
        }
        result[i] = {out.first, out.second};
    }
}

double CellValue(std::string_view text, char decimalSeparator, std::size_t row) {
    if (TrimBlanks(text).empty()) return 0.0;
    double value = 0.0;
    if (!ParseLocaleNumber(text, decimalSeparator, value)) {
        throw PointTransferError(row,
                                 "the cell text \"" + std::string(text) + "\" is not a number");
    }
    return value;
}

double CellValue(const std::optional<std::string>& text, char decimalSeparator, std::size_t row) {
    return text ? CellValue(std::string_view(*text), decimalSeparator, row) : 0.0;
}

}  // namespace utm
