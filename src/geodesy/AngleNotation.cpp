#include "geodesy/AngleNotation.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "geodesy/Angles.h"
#include "geodesy/ClsUTM.h"

namespace utm {

namespace {

constexpr std::string_view kDegreeMark = "\u00b0";  // °
constexpr std::string_view kMinuteMark = "\u2032";  // ′
constexpr std::string_view kSecondMark = "\u2033";  // ″
// The ASCII stand-ins: d for degrees (as in many surveying programs), the
// apostrophe and the double quote for minutes and seconds.
constexpr std::string_view kAsciiDegreeMark = "d";
constexpr std::string_view kAsciiMinuteMark = "'";
constexpr std::string_view kAsciiSecondMark = "\"";

/// Appends `value` (0 to 99) as two digits.
void AppendTwoDigits(std::string& out, std::int64_t value) {
    out.push_back(static_cast<char>('0' + value / 10));
    out.push_back(static_cast<char>('0' + value % 10));
}

}  // namespace

std::string FormatDms(double degrees, char decimalSeparator, DmsMarks marks) {
    if (std::isnan(degrees)) return "NaN";
    if (std::isinf(degrees)) return degrees < 0 ? "-Infinity" : "Infinity";

    const std::array<double, 3> parts = ClsUTM().RadToDeg(DegreesToRadians(std::fabs(degrees)));
    // Beyond about 5.7e307 degrees the radians overflow: no split exists.
    if (!std::isfinite(parts[0])) return degrees < 0 ? "-Infinity" : "Infinity";
    double wholeDegrees = parts[0];
    auto minutes = static_cast<std::int64_t>(parts[1]);
    // The split leaves seconds with the noise of the conversion to radians and
    // back (about 1e-11″): 27.7° comes back as 27°41′59.99999999999″. Rounding
    // to 1e-9″ first removes that noise, so that the rounding to 0.0001″,
    // halves away from zero, acts on the seconds the angle really has.
    double seconds = parts[2];
    if (seconds == 0.0) {
        // The split gives 0 for seconds below 0.0001″, yet from 0.00005″ on
        // they round to 0.0001″: take them again, formed as the split forms
        // them.
        const double v = RadiansToDegrees(DegreesToRadians(std::fabs(degrees)));
        const double minutesWithFraction = (v - std::floor(v)) * 60.0;
        seconds = (minutesWithFraction - std::floor(minutesWithFraction)) * 60.0;
    }
    const auto nanoseconds = static_cast<std::int64_t>(std::llround(seconds * 1e9));
    std::int64_t tenThousandths = (nanoseconds + 50000) / 100000;
    // Seconds rounded up to 60 (and minutes that reach 60) carry.
    if (tenThousandths >= 600000) {
        tenThousandths -= 600000;
        ++minutes;
    }
    if (minutes >= 60) {
        minutes -= 60;
        wholeDegrees += 1.0;
    }

    std::string out;
    if (std::signbit(degrees) && (wholeDegrees != 0.0 || minutes != 0 || tenThousandths != 0)) {
        out.push_back('-');
    }
    char digits[400];
    const auto [end, ec] =
        std::to_chars(digits, digits + sizeof digits, wholeDegrees, std::chars_format::fixed, 0);
    (void)ec;  // 400 characters hold any finite double without decimals
    out.append(digits, end);
    const bool ascii = marks == DmsMarks::Ascii;
    out += ascii ? kAsciiDegreeMark : kDegreeMark;
    AppendTwoDigits(out, minutes);
    out += ascii ? kAsciiMinuteMark : kMinuteMark;
    AppendTwoDigits(out, tenThousandths / 10000);
    out.push_back(decimalSeparator);
    const std::int64_t fraction = tenThousandths % 10000;
    out.push_back(static_cast<char>('0' + fraction / 1000));
    out.push_back(static_cast<char>('0' + fraction / 100 % 10));
    out.push_back(static_cast<char>('0' + fraction / 10 % 10));
    out.push_back(static_cast<char>('0' + fraction % 10));
    out += ascii ? kAsciiSecondMark : kSecondMark;
    return out;
}

namespace {

bool IsAngleBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

/// The character starting `text` (one UTF-8 sequence, or one byte when the
/// text is no valid UTF-8 there).
std::string_view FirstCharacter(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text.front());
    std::size_t length = 1;
    if (lead >= 0xF0) {
        length = 4;
    } else if (lead >= 0xE0) {
        length = 3;
    } else if (lead >= 0xC0) {
        length = 2;
    }
    return text.substr(0, std::min(length, text.size()));
}

/// Which part a mark closes: 0 degrees, 1 minutes, 2 seconds; the mark's
/// length in bytes, 0 when `text` starts with no mark.
struct Mark {
    int part = -1;
    std::size_t length = 0;
};

Mark MarkAt(std::string_view text) {
    if (text.starts_with(kDegreeMark)) return {0, kDegreeMark.size()};
    if (text.starts_with(kAsciiDegreeMark)) return {0, kAsciiDegreeMark.size()};
    if (text.starts_with(kMinuteMark)) return {1, kMinuteMark.size()};
    if (text.starts_with(kSecondMark)) return {2, kSecondMark.size()};
    if (text.starts_with("''")) return {2, 2};  // two primes typed for seconds
    if (text.starts_with('\'')) return {1, 1};
    if (text.starts_with('"')) return {2, 1};
    return {};
}

/// `text` in double quotes (built by appending: GCC 12 warns falsely about
/// "\"" + std::string(...)).
std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    quoted.append(text);
    quoted.push_back('"');
    return quoted;
}

/// True for a hemisphere letter.
bool IsHemisphere(char c) {
    return c == 'N' || c == 'S' || c == 'E' || c == 'W';
}

/// Why `letter` may not mark an angle of `axis`, or nothing when it may.
std::string HemisphereProblem(char letter, AngleAxis axis) {
    const bool northSouth = letter == 'N' || letter == 'S';
    if (axis == AngleAxis::Latitude && !northSouth) {
        return std::string(1, letter) + " marks a longitude; a latitude takes N or S";
    }
    if (axis == AngleAxis::Longitude && northSouth) {
        return std::string(1, letter) + " marks a latitude; a longitude takes E or W";
    }
    return {};
}

constexpr const char* kPartNames[] = {"degrees", "minutes", "seconds"};
constexpr const char* kMarkNames[] = {"\u00b0", "\u2032", "\u2033"};

}  // namespace

DmsReading ReadDms(std::string_view text, AngleAxis axis) {
    std::string_view rest = text;
    while (!rest.empty() && IsAngleBlank(rest.front())) rest.remove_prefix(1);
    while (!rest.empty() && IsAngleBlank(rest.back())) rest.remove_suffix(1);
    const std::string shown(rest);
    const auto refuse = [&shown](const std::string& why) {
        return DmsReading{std::nullopt, "The angle \"" + shown + "\" is not valid: " + why + "."};
    };
    if (rest.empty()) return refuse("it holds no number");

    // A minus sign, from a pasted text or the command line, negates the angle.
    bool negative = false;
    if (rest.front() == '-') {
        negative = true;
        rest.remove_prefix(1);
        while (!rest.empty() && IsAngleBlank(rest.front())) rest.remove_prefix(1);
    }
    // A hemisphere letter before the degrees ("N27 42 0").
    char hemisphere = '\0';
    if (!rest.empty() && IsHemisphere(rest.front())) {
        hemisphere = rest.front();
        rest.remove_prefix(1);
        while (!rest.empty() && IsAngleBlank(rest.front())) rest.remove_prefix(1);
    }

    double values[3] = {0.0, 0.0, 0.0};
    int count = 0;
    bool decimalsSeen = false;
    while (!rest.empty()) {
        const char c = rest.front();
        if (c == '-' || c == '+') {
            return refuse("a minus sign may only stand before the degrees");
        }
        if (IsHemisphere(c)) {
            // A letter after the last part ends the angle ("27°42′N").
            std::string_view after = rest.substr(1);
            while (!after.empty() && IsAngleBlank(after.front())) after.remove_prefix(1);
            if (hemisphere != '\0') return refuse("it has more than one hemisphere letter");
            if (count == 0 || !after.empty()) {
                return refuse(std::string("the hemisphere letter ") + c +
                              " must stand before the degrees or after the last part");
            }
            hemisphere = c;
            rest = after;
            break;
        }
        const Mark mark = MarkAt(rest);
        if (mark.length != 0) {
            return refuse(std::string("the mark ") + kMarkNames[mark.part] +
                          " must follow a number");
        }
        if (!IsDigit(c) && c != '.') {
            return refuse(Quoted(FirstCharacter(rest)) +
                          " is not a digit, a blank, one of the marks \u00b0 \u2032 \u2033 d ' \" "
                          "or a hemisphere letter N S E W");
        }
        // One number: the run of digits and points up to a blank, a mark or the end.
        std::size_t length = 0;
        while (length < rest.size() && (IsDigit(rest[length]) || rest[length] == '.')) ++length;
        const std::string_view number = rest.substr(0, length);
        rest.remove_prefix(length);
        if (count == 3) {
            return refuse("it has more than three parts (degrees, minutes and seconds)");
        }
        if (decimalsSeen) return refuse("only the last part may have decimals");
        double value = 0.0;
        const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                               std::chars_format::fixed);
        if (end != number.data() + number.size() || number == ".") {
            return refuse(Quoted(number) + " is not a number");
        }
        if (ec == std::errc::result_out_of_range) {
            return refuse(Quoted(number) + " is too large");
        }
        decimalsSeen = number.find('.') != std::string_view::npos;

        while (!rest.empty() && IsAngleBlank(rest.front())) rest.remove_prefix(1);
        const Mark closing = MarkAt(rest);
        if (closing.length != 0) {
            if (closing.part != count) {
                return refuse(std::string("the mark ") + kMarkNames[closing.part] +
                              " must follow the " + kPartNames[closing.part] + ", part " +
                              std::to_string(closing.part + 1) + " of the angle");
            }
            rest.remove_prefix(closing.length);
            while (!rest.empty() && IsAngleBlank(rest.front())) rest.remove_prefix(1);
        }
        values[count++] = value;
    }

    if (count == 0) return refuse("it holds no number");
    if (values[1] >= 60.0) return refuse("minutes must be below 60");
    if (values[2] >= 60.0) return refuse("seconds must be below 60");
    if (hemisphere != '\0') {
        if (const std::string problem = HemisphereProblem(hemisphere, axis); !problem.empty()) {
            return refuse(problem);
        }
        const bool southOrWest = hemisphere == 'S' || hemisphere == 'W';
        if (negative && !southOrWest) {
            return refuse(std::string("the minus sign contradicts the hemisphere letter ") +
                          hemisphere);
        }
        negative = southOrWest;
    }
    // Whole minutes and seconds give an exact count of seconds: one division.
    const double magnitude = values[0] + (values[1] * 60.0 + values[2]) / 3600.0;
    return DmsReading{negative ? -magnitude : magnitude, {}};
}

}  // namespace utm
