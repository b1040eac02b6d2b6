#include "transfer/PointBlock.h"

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

namespace {

/// The digit-group separator that goes with a locale's decimal separator.
char GroupSeparatorOf(char decimalSeparator) {
    return decimalSeparator == ',' ? '.' : ',';
}

/// Whether the group separators of `text` (sign, digits, separators...) all
/// sit between groups of three digits of the integer part, the first group
/// holding one to three digits (3,206,261.5 but not 1,5 or 12,34).
bool GroupsArePlaced(std::string_view text, char groupSeparator) {
    std::size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    std::size_t groupDigits = 0;
    bool firstGroup = true;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            ++groupDigits;
        } else if (c == groupSeparator) {
            if (groupDigits == 0 || groupDigits > 3 || (!firstGroup && groupDigits != 3)) {
                return false;
            }
            firstGroup = false;
            groupDigits = 0;
        } else {
            break;
        }
    }
    if (firstGroup || groupDigits != 3) return false;
    // No group separator after the integer part.
    return text.find(groupSeparator, i) == std::string_view::npos;
}

}  // namespace

bool ParseLocaleNumber(std::string_view text, char decimalSeparator, double& value) {
    text = TrimBlanks(text);
    const char groupSeparator = GroupSeparatorOf(decimalSeparator);
    const bool grouped = text.find(groupSeparator) != std::string_view::npos;
    if (decimalSeparator == '.' && !grouped) return ParseDecimal(text, value);
    if (grouped && !GroupsArePlaced(text, groupSeparator)) return false;
    // A "." that is neither the decimal nor the group separator is not part
    // of a number.
    if (decimalSeparator != '.' && groupSeparator != '.' &&
        text.find('.') != std::string_view::npos) {
        return false;
    }
    // The digits without group separators, with "." as decimal point for the parser.
    char small[64];
    std::string large;
    char* copy = small;
    if (text.size() > sizeof small) {
        large.resize(text.size());
        copy = large.data();
    }
    std::size_t n = 0;
    for (const char c : text) {
        if (c == groupSeparator) continue;
        copy[n++] = c == decimalSeparator ? '.' : c;
    }
    return ParseDecimal(std::string_view(copy, n), value);
}

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
