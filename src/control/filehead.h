// The first lines of a file, as the content tests of the input types see them.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

/// The first lines of a file, at most `maxlines` of them read from at most `maxbytes` bytes, so
/// that telling a file's type costs the same for a small and a huge file.
class FileHead {
  public:
    static constexpr std::size_t maxlines = 400;
    static constexpr std::size_t maxbytes = std::size_t(1) << 18;

    /// The first lines of a text already in memory.
    explicit FileHead(std::string_view text);
    FileHead() = default;
    /// Reads the head of a file, gzip-compressed or not; false when it cannot be read.
    bool load(const std::string& path);

    /// The lines, without line ends and carriage returns, cut to the record length.
    std::span<const std::string_view> lines() const { return lines_; }
    /// Whether some line holds the marker.
    bool contains(std::string_view marker) const;
    /// Whether some line's first word is the word, compared without regard to case.
    bool firstword(std::string_view word) const;
    /// Whether the line is an atom line: a label or element number, then at least `numbers`
    /// numbers and nothing else.
    static bool atomline(std::string_view line, int numbers = 3);
    /// How many frames of an XYZ file (a count line, a title line, as many atom lines) follow
    /// each other from the first line on, as far as the head shows them: a frame counts when its
    /// count line is a lone positive integer and its first atom line starts with a label.
    int xyzframes() const;

  private:
    void split();
    std::string text_;
    std::vector<std::string_view> lines_;
};
