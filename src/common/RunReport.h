// What a run over a data file found that the person should know although the
// run went on: fields taken as 0, lines of the wrong shape, latitudes beyond
// the poles, points too far from the central meridian for full accuracy.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace utm {

/// What a run does with a point that cannot be computed: stop with nothing
/// written (the windows, and utmconv's default), leave it out, or write its
/// line with "*" as results (as cs2cs does).
enum class OnError { Stop, Skip, Mark };

enum class Finding {
    NotNumber,        ///< a field that is not a number, taken as 0
    FieldCount,       ///< a line without exactly two fields
    LatitudeRange,    ///< a latitude, given or computed, outside -90 to 90 degrees
    FarFromMeridian,  ///< a point beyond the distance where the series stay within 1 cm
    Failed,           ///< a point that cannot be computed, left out or marked (utmconv --on-error)
    NoNumber,  ///< a row whose coordinate field holds no number: no point, left out or marked
};
inline constexpr std::size_t kFindingKinds = 6;

/// Counts the findings of one run by kind and keeps the first line numbers of each.
class RunReport {
  public:
    /// Line numbers kept per kind.
    static constexpr std::size_t kLinesKept = 5;

    void Add(Finding finding, std::size_t line);
    /// Adds the findings of `later`, whose line numbers count from 1 at the
    /// line after `lineOffset` lines of this run. Reports must be merged in file order.
    void Merge(const RunReport& later, std::size_t lineOffset);

    std::size_t Count(Finding finding) const { return kinds_[Index(finding)].count; }
    /// The first line numbers of a kind, in file order.
    const std::vector<std::size_t>& Lines(Finding finding) const {
        return kinds_[Index(finding)].lines;
    }
    /// True when findings of the kind lie on more lines than those kept.
    bool MoreLines(Finding finding) const { return kinds_[Index(finding)].moreLines; }
    bool Empty() const;

    /// What the run did with a line that has not two fields, for the message:
    /// "a missing number was taken as 0 and extra fields were left out".
    std::string fieldCountRule = "a missing number was taken as 0 and extra fields were left out";
    /// What the run did with a point that cannot be computed, for the message:
    /// "left out of the output" or "written with * as results".
    std::string failedRule = "left out of the output";
    /// The distance from the central meridian named in the FarFromMeridian
    /// sentence ("268 km").
    std::string farDistance;
    /// What the numbers of the findings count: "line" (of a data file), or
    /// "feature" (of a GIS file, in the order they were read).
    std::string place = "line";
    /// What the sentences call the file ("GPX file", "shapefile"); empty:
    /// "the data file", or "the standard input".
    std::string fileKind;

    /// One sentence per kind found, in the order of Finding, for `dataPath`.
    std::vector<std::string> Sentences(const std::string& dataPath) const;
    /// The sentences joined by line feeds; empty when nothing was found.
    std::string Text(const std::string& dataPath) const;

  private:
    struct Kind {
        std::size_t count = 0;
        std::vector<std::size_t> lines;
        bool moreLines = false;  // lines beyond those kept
    };
    static std::size_t Index(Finding finding) { return static_cast<std::size_t>(finding); }
    std::array<Kind, kFindingKinds> kinds_{};
};

/// `text` in double quotes, cut after 40 bytes with "…", for a message;
/// control characters escaped as EscapeControls does.
std::string QuotedExcerpt(std::string_view text);

/// `text` with every control character (bytes below 0x20, and 0x7f) written
/// as "\xNN" (ESC as "\x1b"): a file name or data quoted in a message cannot
/// move the cursor, clear the screen or change the colours of a terminal.
std::string EscapeControls(std::string_view text);

/// `text` (a file name) in double quotes, control characters escaped.
std::string QuotedText(std::string_view text);

/// `text` with its first letter upper case, to start a sentence.
std::string Capitalized(std::string text);

/// How messages name the data file `path`: "the data file "pts.csv"", or
/// "the standard input" for kStandardInput.
std::string DataFileNamed(std::string_view path);

/// `text` ending in a full stop.
std::string Sentence(std::string text);

/// A message phrase ("the longitude 853 lies outside ...") as a sentence for
/// a window: a capital first letter and a full stop.
std::string UserSentence(std::string text);

/// "line 4", "lines 1, 4" or "lines 1, 4, 9, 12, 15, …" when there are more.
/// With another `place`: "feature 3", "features 3, 9".
std::string LineList(const std::vector<std::size_t>& lines, bool more,
                     std::string_view place = "line");

}  // namespace utm
