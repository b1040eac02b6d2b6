#include "common/RunReport.h"

#include "common/FileIO.h"

namespace utm {

void RunReport::Add(Finding finding, std::size_t line) {
    Kind& kind = kinds_[Index(finding)];
    ++kind.count;
    // Two findings on one line name it once.
    if (!kind.lines.empty() && kind.lines.back() == line) return;
    if (kind.lines.size() < kLinesKept) {
        kind.lines.push_back(line);
    } else {
        kind.moreLines = true;
    }
}

void RunReport::Merge(const RunReport& later, std::size_t lineOffset) {
    for (std::size_t i = 0; i < kFindingKinds; ++i) {
        Kind& kind = kinds_[i];
        const Kind& other = later.kinds_[i];
        kind.count += other.count;
        kind.moreLines = kind.moreLines || other.moreLines;
        for (const std::size_t line : other.lines) {
            if (!kind.lines.empty() && kind.lines.back() == line + lineOffset) continue;
            if (kind.lines.size() >= kLinesKept) {
                kind.moreLines = true;
                break;
            }
            kind.lines.push_back(line + lineOffset);
        }
    }
}

bool RunReport::Empty() const {
    for (const Kind& kind : kinds_) {
        if (kind.count != 0) return false;
    }
    return true;
}

std::string EscapeControls(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f) {
            escaped.push_back(c);
            continue;
        }
        constexpr const char* kHex = "0123456789abcdef";
        escaped += "\\x";
        escaped.push_back(kHex[byte >> 4]);
        escaped.push_back(kHex[byte & 0xf]);
    }
    return escaped;
}

std::string QuotedText(std::string_view text) {
    return "\"" + EscapeControls(text) + "\"";
}

std::string Capitalized(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

std::string DataFileNamed(std::string_view path) {
    if (path == kStandardInput) return "the standard input";
    return "the data file " + QuotedText(path);
}

std::string QuotedExcerpt(std::string_view text) {
    constexpr std::size_t kLongest = 40;
    std::string quoted = "\"";
    quoted.append(EscapeControls(text.substr(0, kLongest)));
    if (text.size() > kLongest) quoted += "…";
    quoted += "\"";
    return quoted;
}

std::string Sentence(std::string text) {
    if (!text.empty() && text.back() != '.') text.push_back('.');
    return text;
}

std::string UserSentence(std::string text) {
    if (!text.empty() && text.front() >= 'a' && text.front() <= 'z') text.front() -= 'a' - 'A';
    return Sentence(std::move(text));
}

std::string LineList(const std::vector<std::size_t>& lines, bool more, std::string_view place) {
    std::string text(place);
    text += lines.size() == 1 && !more ? " " : "s ";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += ", ";
        text += std::to_string(lines[i]);
    }
    if (more) text += ", …";
    return text;
}

std::vector<std::string> RunReport::Sentences(const std::string& dataPath) const {
    std::vector<std::string> sentences;
    // "3 fields in the data file "pts.csv" (lines 1, 4, 7) are not numbers: ..."
    const auto sentence = [&](Finding finding, const char* one, const char* many, const char* isOne,
                              const char* isMany, const std::string& rest) {
        const std::size_t count = Count(finding);
        if (count == 0) return;
        sentences.push_back(std::to_string(count) + " " + (count == 1 ? one : many) + " in " +
                            (fileKind.empty() ? DataFileNamed(dataPath)
                                              : "the " + fileKind + " " + QuotedText(dataPath)) +
                            " (" + LineList(Lines(finding), MoreLines(finding), place) + ") " +
                            (count == 1 ? isOne : isMany) + rest);
    };
    sentence(Finding::NotNumber, "field", "fields", "is not a number: it was",
             "are not numbers: they were", " taken as 0.");
    sentence(Finding::FieldCount, "line", "lines", "does not", "do not",
             " hold two fields: " + fieldCountRule + ".");
    sentence(Finding::LatitudeRange, "point", "points", "has", "have",
             " a latitude outside -90 to 90 degrees: such a result means nothing on the "
             "Earth.");
    sentence(Finding::FarFromMeridian, "point", "points", "lies", "lie",
             " more than " + farDistance +
                 " east or west of the central meridian, where the projection series may "
                 "be off by more than 1 cm.");
    if (place == "feature") {
        sentence(Finding::Failed, "feature", "features", "holds", "hold",
                 " a point that cannot be computed (no finite result, or outside the "
                 "projection's domain): " +
                     failedRule + ".");
    } else {
        sentence(Finding::Failed, "point", "points", "cannot", "cannot",
                 " be computed (no finite result, or outside the projection's domain): " +
                     failedRule + ".");
    }
    sentence(Finding::NoNumber, "row", "rows", "holds", "hold",
             " no number in a coordinate column: " + failedRule + ".");
    return sentences;
}

std::string RunReport::Text(const std::string& dataPath) const {
    std::string text;
    for (const std::string& sentence : Sentences(dataPath)) {
        if (!text.empty()) text += '\n';
        text += sentence;
    }
    return text;
}

}  // namespace utm
