// Fixed texts that readers look for in every line of a long output, found in one pass over the
// line however many there are.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

/// Up to 64 markers, each found where the line padded with blanks to the record length holds it
/// (so a marker that ends in blanks is also found at the end of a shorter line).
class MarkerSet {
  public:
    explicit MarkerSet(std::initializer_list<std::string_view> markers);
    /// Bit i set when marker i (in the order given) stands in the line.
    std::uint64_t find(std::string_view line) const;

  private:
    struct Marker {
        std::string text;
        std::size_t core = 0;   // length without the trailing blanks
        std::size_t anchor = 0; // offset of its rarest character, looked for first
    };
    bool at(std::string_view line, std::size_t start, const Marker& m) const;

    std::vector<Marker> markers_;
    std::array<std::uint64_t, 256> byanchor_{}; // the markers anchored on each byte
    std::array<unsigned char, 256> anchor_{};   // 1 for a byte that anchors any
    std::uint64_t blank_ = 0;                   // markers of blanks only, looked for plainly
};
