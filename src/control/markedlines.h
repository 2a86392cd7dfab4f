// The lines of a long output that hold markers, found by one scan of the whole text and kept, so
// that a reader's two passes visit only those lines (and the lines of the tables they read).
#pragma once

#include "control/files.h"
#include "control/markerset.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

/// The marked lines of one input file for one marker set, handed out from wherever the file
/// stands: a reader may read further lines itself between them, or rewind for a second pass.
class MarkedLines {
  public:
    /// At most `kept` marked lines are kept (40 bytes each); a text with more is scanned again
    /// for each pass. A text of `longtext` bytes or more is scanned whole at the first request,
    /// its two halves at once, each marker anchored on its pair the text holds least often.
    MarkedLines(InputFile& in, const MarkerSet& set, std::size_t kept = std::size_t(1) << 20,
                std::size_t longtext = std::size_t(4) << 20)
        : in_(in), set_(set), mostkept_(kept), longfrom_(longtext) {}
    /// The next line that holds a marker, `found` its markers, the lines before it passed over
    /// (and counted); with `everyline`, the next line whatever it holds. False at the end of the
    /// file.
    bool next(std::string_view& line, std::uint64_t& found, bool everyline = false);

    /// A line that holds a marker.
    struct Marked {
        std::size_t start;   // where the line starts in the text
        std::size_t next;    // where the line after it starts
        std::size_t length;  // of the line as it is handed out
        long long number;    // its number in the file
        std::uint64_t found; // the markers it holds
    };

  private:
    void scanfrom(std::size_t start);
    void scaninhalves();

    const MarkerSet& scanset();

    InputFile& in_;
    const MarkerSet& set_;
    std::optional<MarkerSet> anchored_; // the set anchored on the pairs rarest in this text
    std::size_t mostkept_;
    std::size_t longfrom_; // a long text: scanned in halves, by anchored pairs
    // Every marked line of the text between coveredfrom_ and scanned_, in order; the lines a
    // reader has passed are let go when the list grows long, and scanned again after a rewind.
    std::vector<Marked> marked_;
    std::size_t coveredfrom_ = 0;
    std::size_t scanned_ = 0;
    long long scannedlines_ = 0; // lines that start before scanned_
    bool triedhalves_ = false;
};
