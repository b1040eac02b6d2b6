#include "common/DataTable.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "common/DataFileReader.h"
#include "common/FastNumberFormat.h"
#include "common/NumericText.h"
#include "common/OperationError.h"
#include "common/RunReport.h"

namespace utm {

namespace {

/// Lines of the file's start looked at to find its layout.
constexpr std::size_t kSampleLines = 200;

bool IsBlankOrSeparator(char c, FieldSeparator separator) {
    return c == ' ' || c == '\t' ||
           (separator != FieldSeparator::Blank && c == SeparatorChar(separator));
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

/// A header name without a unit in brackets ("Easting [m]", "Lat(deg)") and
/// in lower case.
std::string BareName(std::string_view field) {
    std::string name = Unquoted(field);
    if (!name.empty() && (name.back() == ')' || name.back() == ']')) {
        const char open = name.back() == ')' ? '(' : '[';
        const std::size_t at = name.rfind(open);
        if (at != std::string::npos && at > 0) name.erase(at);
    }
    return Lower(TrimBlanks(name));
}

bool NameIn(std::string_view field, std::initializer_list<std::string_view> names) {
    const std::string bare = BareName(field);
    return std::find(names.begin(), names.end(), bare) != names.end();
}

bool IsFirstName(std::string_view field, CoordinateKind kind) {
    return kind == CoordinateKind::LatLong ? NameIn(field, {"lat", "latitude"})
                                           : NameIn(field, {"e", "east", "easting", "x"});
}

bool IsSecondName(std::string_view field, CoordinateKind kind) {
    return kind == CoordinateKind::LatLong ? NameIn(field, {"lon", "long", "longitude"})
                                           : NameIn(field, {"n", "north", "northing", "y"});
}

/// The whole lines of the file's start, without line ends, with their line numbers.
struct SampleLine {
    std::string_view text;
    std::size_t number = 0;
};

std::vector<SampleLine> SampleLines(std::string_view start, bool complete) {
    std::vector<SampleLine> lines;
    const char* p = start.data();
    const char* const end = p + start.size();
    std::size_t number = 0;
    while (p < end && lines.size() < kSampleLines) {
        const char* stop = p;
        while (stop < end && *stop != '\n' && *stop != '\r') ++stop;
        if (stop == end && !complete) break;  // a line that may go on
        lines.push_back({std::string_view(p, static_cast<std::size_t>(stop - p)), ++number});
        p = stop;
        if (p < end) p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
    }
    return lines;
}

bool IsBlankLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

bool HoldsNumber(std::string_view field, char decimalSeparator) {
    double value = 0.0;
    return ReadCoordinate(field, decimalSeparator, value) != CoordinateReading::None;
}

bool IsWholeNumber(std::string_view field, char decimalSeparator) {
    double value = 0.0;
    return ReadCoordinate(field, decimalSeparator, value) == CoordinateReading::Number;
}

/// The separator that splits the content lines into the same number (two or
/// more) of fields, tab first, then semicolon, comma and blanks.
std::optional<FieldSeparator> DetectSeparator(const std::vector<std::string_view>& content) {
    if (content.empty()) return std::nullopt;
    // The first line may be a header of another shape; the rest decide when
    // there are enough of them.
    const std::size_t from = content.size() > 2 ? 1 : 0;
    for (const FieldSeparator candidate : {FieldSeparator::Tab, FieldSeparator::Semicolon,
                                           FieldSeparator::Comma, FieldSeparator::Blank}) {
        std::vector<std::size_t> counts;
        for (std::size_t i = from; i < content.size(); ++i) {
            counts.push_back(SplitRow(content[i], candidate, nullptr, 0));
        }
        std::vector<std::size_t> sorted = counts;
        std::sort(sorted.begin(), sorted.end());
        // The most frequent count.
        std::size_t mode = 0;
        std::size_t best = 0;
        for (std::size_t i = 0; i < sorted.size();) {
            std::size_t j = i;
            while (j < sorted.size() && sorted[j] == sorted[i]) ++j;
            if (j - i > best) {
                best = j - i;
                mode = sorted[i];
            }
            i = j;
        }
        // Nine lines in ten of the same shape: a stray line of another shape
        // (a note, a cut line) does not change the file's separator.
        if (mode >= 2 && best * 10 >= counts.size() * 9) return candidate;
    }
    return std::nullopt;
}

/// Whether one part of --columns is a column number (digits only).
bool IsColumnNumber(std::string_view part) {
    part = TrimBlanks(part);
    return !part.empty() &&
           std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
}

/// The column (from 0) named by one part of --columns: a 1-based number or a
/// header name; nothing when it names none.
std::optional<std::size_t> ColumnOf(std::string_view part,
                                    const std::vector<std::string_view>& header) {
    part = TrimBlanks(part);
    if (IsColumnNumber(part)) {
        if (part.size() > 6) return std::nullopt;
        const std::size_t n = static_cast<std::size_t>(std::stoul(std::string(part)));
        if (n == 0) return std::nullopt;
        return n - 1;
    }
    const std::string wanted = Lower(Unquoted(part));
    for (std::size_t i = 0; i < header.size(); ++i) {
        if (Lower(Unquoted(header[i])) == wanted) return i;
    }
    return std::nullopt;
}

}  // namespace

std::string_view NameOf(FieldSeparator separator) {
    switch (separator) {
        case FieldSeparator::Comma:
            return "comma";
        case FieldSeparator::Semicolon:
            return "semicolon";
        case FieldSeparator::Tab:
            return "tab";
        case FieldSeparator::Blank:
            return "blank";
    }
    return "comma";
}

std::optional<FieldSeparator> ParseFieldSeparator(std::string_view name) {
    for (const FieldSeparator s : {FieldSeparator::Comma, FieldSeparator::Semicolon,
                                   FieldSeparator::Tab, FieldSeparator::Blank}) {
        if (name == NameOf(s)) return s;
    }
    return std::nullopt;
}

char SeparatorChar(FieldSeparator separator) {
    switch (separator) {
        case FieldSeparator::Comma:
            return ',';
        case FieldSeparator::Semicolon:
            return ';';
        case FieldSeparator::Tab:
            return '\t';
        case FieldSeparator::Blank:
            return ' ';
    }
    return ',';
}

std::size_t SplitRow(std::string_view line, FieldSeparator separator, std::string_view* fields,
                     std::size_t max) {
    const char* p = line.data();
    const char* const end = p + line.size();
    const bool blank = separator == FieldSeparator::Blank;
    const char sep = SeparatorChar(separator);
    std::size_t count = 0;
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    for (;;) {
        while (p < end && isBlank(*p) && !(!blank && *p == sep)) ++p;
        if (blank && p == end) return count;
        const char* start = p;
        if (p < end && *p == '"') {
            // A quoted field: up to the closing quote ("" inside is a quote),
            // then whatever follows up to the separator belongs to it too.
            ++p;
            while (p < end) {
                if (*p == '"') {
                    if (p + 1 < end && p[1] == '"') {
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                ++p;
            }
        }
        while (p < end && (blank ? !isBlank(*p) : *p != sep)) ++p;
        const char* stop = p;
        while (stop > start && isBlank(stop[-1])) --stop;
        if (count < max)
            fields[count] = std::string_view(start, static_cast<std::size_t>(stop - start));
        ++count;
        if (p == end) return count;
        ++p;  // the separator (or the first blank of a run)
    }
}

std::vector<std::string_view> RowFields(std::string_view line, FieldSeparator separator) {
    std::vector<std::string_view> fields(SplitRow(line, separator, nullptr, 0));
    SplitRow(line, separator, fields.data(), fields.size());
    return fields;
}

std::string Unquoted(std::string_view field) {
    field = TrimBlanks(field);
    if (field.size() < 2 || field.front() != '"') return std::string(field);
    std::string text;
    std::size_t i = 1;
    for (; i < field.size(); ++i) {
        if (field[i] == '"') {
            if (i + 1 < field.size() && field[i + 1] == '"') {
                text.push_back('"');
                ++i;
                continue;
            }
            ++i;
            break;
        }
        text.push_back(field[i]);
    }
    text.append(field.substr(std::min(i, field.size())));
    return std::string(TrimBlanks(text));
}

CoordinateReading ReadCoordinate(std::string_view field, char decimalSeparator, double& value) {
    value = 0.0;
    field = TrimBlanks(field);
    std::string unquoted;
    if (!field.empty() && field.front() == '"') {
        unquoted = Unquoted(field);
        field = unquoted;
    }
    if (field.empty()) return CoordinateReading::None;
    if (ParseLocaleNumber(field, decimalSeparator, value)) return CoordinateReading::Number;
    value = 0.0;
    // A number at the start of the field ("27.7°", "85,3" in a file of
    // decimal points): a partial number; no digit there: no number at all.
    std::size_t i = 0;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) ++i;
    if (i < field.size() && (field[i] == '.' || field[i] == decimalSeparator)) ++i;
    return i < field.size() && field[i] >= '0' && field[i] <= '9' ? CoordinateReading::Partial
                                                                  : CoordinateReading::None;
}

TableLayout DetectTableLayout(std::string_view start, bool complete, CoordinateKind kind,
                              const TableRequest& request) {
    TableLayout layout;
    layout.decimalSeparator = request.decimalSeparator;
    const std::vector<SampleLine> lines = SampleLines(start, complete);
    std::vector<std::string_view> content;
    std::vector<std::size_t> contentNumbers;
    for (const SampleLine& line : lines) {
        if (IsBlankLine(line.text) || line.text.front() == '#') continue;
        content.push_back(line.text);
        contentNumbers.push_back(line.number);
    }
    if (request.separator) {
        layout.separator = *request.separator;
    } else {
        layout.separator = DetectSeparator(content).value_or(request.fallback);
    }
    // Numbers written with a decimal comma ("27,7") in a file not separated
    // by commas, and none with a decimal point: the author's spreadsheet
    // wrote them by its locale, and they are read that way.
    if (layout.decimalSeparator == '.' && layout.separator != FieldSeparator::Comma) {
        std::size_t commas = 0;
        std::size_t points = 0;
        for (const std::string_view line : content) {
            for (const std::string_view field : RowFields(line, layout.separator)) {
                double value = 0.0;
                if (ReadCoordinate(field, '.', value) == CoordinateReading::Number) {
                    if (field.find('.') != std::string_view::npos) ++points;
                } else if (field.find(',') != std::string_view::npos &&
                           ReadCoordinate(field, ',', value) == CoordinateReading::Number) {
                    ++commas;
                }
            }
        }
        if (commas > 0 && points == 0) layout.decimalSeparator = ',';
    }
    // Lines of separators only are blank rows, not content.
    std::vector<std::string_view> rows;
    std::vector<std::size_t> numbers;
    for (std::size_t i = 0; i < content.size(); ++i) {
        if (KindOfRow(content[i], layout) != RowKind::Data) continue;
        rows.push_back(content[i]);
        numbers.push_back(contentNumbers[i]);
    }
    if (rows.empty()) return layout;

    const std::vector<std::string_view> first = RowFields(rows.front(), layout.separator);
    const auto field = [](const std::vector<std::string_view>& fields, std::size_t i) {
        return i < fields.size() ? fields[i] : std::string_view();
    };
    const auto makeHeader = [&] {
        layout.header = std::string(rows.front());
        layout.headerLine = numbers.front();
    };

    if (!request.columns.empty()) {
        const std::string_view text = request.columns;
        const std::size_t comma = text.find(',');
        if (comma == std::string_view::npos ||
            text.find(',', comma + 1) != std::string_view::npos) {
            throw OperationError("The columns \"" + request.columns +
                                 "\" are not two columns separated by a comma (as 3,4 or "
                                 "Lat,Lon).");
        }
        const std::string_view parts[2] = {text.substr(0, comma), text.substr(comma + 1)};
        std::size_t columns[2] = {0, 0};
        bool byName = false;
        for (int i = 0; i < 2; ++i) {
            const std::optional<std::size_t> column = ColumnOf(parts[i], first);
            if (!column) {
                throw OperationError(
                    IsColumnNumber(parts[i])
                        ? "The column \"" + std::string(TrimBlanks(parts[i])) +
                              "\" is no column number: columns count from 1."
                        : "The column \"" + std::string(TrimBlanks(parts[i])) +
                              "\" is not a name in the header row of the data file.");
            }
            byName = byName || !IsColumnNumber(parts[i]);
            columns[i] = *column;
        }
        if (columns[0] == columns[1]) {
            throw OperationError("The columns \"" + request.columns +
                                 "\" name one column twice: give two different columns.");
        }
        layout.first = columns[0];
        layout.second = columns[1];
        if (byName || (!HoldsNumber(field(first, layout.first), layout.decimalSeparator) &&
                       !HoldsNumber(field(first, layout.second), layout.decimalSeparator))) {
            makeHeader();
        }
        return layout;
    }

    // Columns named in the first row.
    std::optional<std::size_t> named[2];
    for (std::size_t i = 0; i < first.size(); ++i) {
        if (!named[0] && IsFirstName(first[i], kind)) named[0] = i;
        if (!named[1] && IsSecondName(first[i], kind)) named[1] = i;
    }
    if (named[0] && named[1]) {
        layout.first = *named[0];
        layout.second = *named[1];
        makeHeader();
        return layout;
    }

    // Else the first two fields, unless the data rows hold their numbers in
    // another pair of neighbouring columns and never in the first two (a
    // name or code first: "BM1 27.7 85.3").
    const std::size_t from = rows.size() > 1 ? 1 : 0;
    const auto numericPair = [&](std::size_t a) {
        for (std::size_t r = from; r < rows.size(); ++r) {
            std::array<std::string_view, 64> fields;
            const std::size_t n = SplitRow(rows[r], layout.separator, fields.data(), fields.size());
            if (a + 1 >= std::min(n, fields.size()) ||
                !IsWholeNumber(fields[a], layout.decimalSeparator) ||
                !IsWholeNumber(fields[a + 1], layout.decimalSeparator))
                return false;
        }
        return true;
    };
    if (!numericPair(0)) {
        for (std::size_t a = 1; a + 1 < 64; ++a) {
            if (numericPair(a)) {
                layout.first = a;
                layout.second = a + 1;
                break;
            }
        }
    }
    if (!HoldsNumber(field(first, layout.first), layout.decimalSeparator) &&
        !HoldsNumber(field(first, layout.second), layout.decimalSeparator)) {
        makeHeader();
    }
    return layout;
}

RowKind KindOfRow(std::string_view line, const TableLayout& layout) {
    if (!line.empty() && line.front() == '#') return RowKind::Comment;
    bool blank = true;
    for (const char c : line) {
        if (!IsBlankOrSeparator(c, layout.separator)) {
            blank = false;
            break;
        }
    }
    if (blank) return RowKind::Blank;
    if (layout.HasHeader() && line == layout.header) return RowKind::Header;
    return RowKind::Data;
}

RowPoint ReadRowPoint(std::string_view row, const TableLayout& layout) {
    RowPoint point;
    const std::size_t columns[2] = {layout.first, layout.second};
    const std::size_t last = std::max(layout.first, layout.second);
    std::size_t fields = 0;
    if (last < 64) {
        std::array<std::string_view, 64> all;
        fields = SplitRow(row, layout.separator, all.data(), last + 1);
        for (std::size_t i = 0; i < 2; ++i) {
            if (columns[i] < fields) point.field[i] = all[columns[i]];
        }
    } else {
        const std::vector<std::string_view> all = RowFields(row, layout.separator);
        fields = all.size();
        for (std::size_t i = 0; i < 2; ++i) {
            if (columns[i] < fields) point.field[i] = all[columns[i]];
        }
    }
    point.pair = fields == 2 && layout.first == 0 && layout.second == 1;
    for (std::size_t i = 0; i < 2; ++i) {
        point.reading[i] = ReadCoordinate(point.field[i], layout.decimalSeparator, point.value[i]);
        if (point.reading[i] == CoordinateReading::None && !point.noNumber) {
            point.noNumber = columns[i];
        }
    }
    return point;
}

std::string NoNumberText(std::string_view row, std::size_t column) {
    return "the row " + QuotedExcerpt(row) + " holds no number in column " +
           std::to_string(column + 1);
}

TablePreview PreviewTable(const std::string& path, CoordinateKind kind, const TableRequest& request,
                          std::size_t rows) {
    DataFileReader reader(path);
    const std::string_view start = reader.Peek();
    TablePreview preview;
    preview.layout = DetectTableLayout(start, reader.PeekIsWhole(), kind, request);
    std::size_t widest = 0;
    for (const SampleLine& line : SampleLines(start, reader.PeekIsWhole())) {
        if (preview.rows.size() >= rows) break;
        const RowKind rowKind = KindOfRow(line.text, preview.layout);
        std::vector<std::string> fields;
        if (rowKind == RowKind::Comment || rowKind == RowKind::Blank) {
            fields.emplace_back(line.text);
        } else {
            for (const std::string_view f : RowFields(line.text, preview.layout.separator)) {
                fields.push_back(Unquoted(f));
            }
        }
        widest = std::max(widest, fields.size());
        preview.rows.push_back(std::move(fields));
        preview.kinds.push_back(rowKind);
    }
    const std::vector<std::string_view> header =
        preview.layout.HasHeader() ? RowFields(preview.layout.header, preview.layout.separator)
                                   : std::vector<std::string_view>();
    widest = std::max({widest, header.size(), preview.layout.second + 1, preview.layout.first + 1});
    for (std::size_t i = 0; i < widest; ++i) {
        preview.columnNames.push_back(i < header.size() ? Unquoted(header[i])
                                                        : std::to_string(i + 1));
    }
    return preview;
}

}  // namespace utm

namespace utm {

char* WriteCarriedRow(char* out, std::string_view row, RowKind kind, const TableLayout& layout,
                      RowStyle style, char separator, ResultNames names) {
    if (kind == RowKind::Header) {
        out = WriteRowFields(out, row, layout, style, separator);
        for (const std::string_view name : {names.first, names.second}) {
            *out++ = style == RowStyle::Joined ? separator : ' ';
            std::memcpy(out, name.data(), name.size());
            out += name.size();
            if (style == RowStyle::SignPositioned) *out++ = ' ';
        }
    } else {
        std::memcpy(out, row.data(), row.size());
        out += row.size();
    }
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

char* WriteRowFields(char* out, std::string_view row, const TableLayout& layout, RowStyle style,
                     char separator) {
    const char in = SeparatorChar(layout.separator);
    // A row without quotes whose fields hold no output separator: one pass,
    // each separator replaced and the blanks around fields left out.
    if (style == RowStyle::Joined && layout.separator != FieldSeparator::Blank &&
        row.find('"') == std::string_view::npos &&
        (in == separator || row.find(separator) == std::string_view::npos)) {
        char* fieldStart = out;
        bool atStart = true;
        for (const char c : row) {
            if (c == in) {
                while (out > fieldStart && IsBlank(out[-1])) --out;
                *out++ = separator;
                fieldStart = out;
                atStart = true;
            } else if (!(atStart && IsBlank(c))) {
                *out++ = c;
                atStart = false;
            }
        }
        while (out > fieldStart && IsBlank(out[-1])) --out;
        return out;
    }
    const char* p = row.data();
    const char* const end = p + row.size();
    bool firstField = true;
    // Fields one at a time, so that no list of them is needed.
    while (true) {
        std::string_view field;
        const std::string_view rest(p, static_cast<std::size_t>(end - p));
        if (layout.separator == FieldSeparator::Blank && TrimBlanks(rest).empty()) break;
        SplitRow(rest, layout.separator, &field, 1);
        // Where this field ends in `rest`: after its text, at the next separator.
        const char* after = field.data() + field.size();
        if (layout.separator != FieldSeparator::Blank) {
            while (after < end && *after != in) ++after;
        }
        if (style == RowStyle::Joined) {
            if (!firstField) *out++ = separator;
            const bool quoted = !field.empty() && field.front() == '"';
            if (!quoted && field.find(separator) != std::string_view::npos) {
                *out++ = '"';
                for (const char c : field) {
                    if (c == '"') *out++ = '"';
                    *out++ = c;
                }
                *out++ = '"';
            } else {
                std::memcpy(out, field.data(), field.size());
                out += field.size();
            }
        } else {
            if (field.empty() || field.front() != '-') *out++ = ' ';
            std::memcpy(out, field.data(), field.size());
            out += field.size();
            *out++ = ' ';
        }
        firstField = false;
        if (after >= end) break;
        p = after + 1;
        if (layout.separator != FieldSeparator::Blank && p == end) {
            // A last empty field after a trailing separator.
            if (style == RowStyle::Joined) {
                *out++ = separator;
            } else {
                *out++ = ' ';
                *out++ = ' ';
            }
            break;
        }
    }
    return out;
}

LineScan FastScanOf(const TableLayout& layout) {
    LineScan scan;
    scan.delimiter = SeparatorChar(layout.separator);
    scan.rows = layout.separator != FieldSeparator::Blank && layout.decimalSeparator == '.';
    scan.pairs = scan.rows && layout.first == 0 && layout.second == 1;
    scan.a = layout.first;
    scan.b = layout.second;
    return scan;
}

}  // namespace utm
