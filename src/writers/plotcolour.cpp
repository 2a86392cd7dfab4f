// The colour of the i-th run (0-based) in a picture of several; the colours repeat after ten.
#include "writers/plot.h"

#include <array>

std::string_view plotcolour(std::size_t i) {
    // Apart in hue and lightness, so that neighbouring runs are told apart on screen and in grey.
    static constexpr std::array<std::string_view, 10> colours{
        "#1f4e9c", "#c62828", "#2e7d32", "#ef6c00", "#6a1b9a",
        "#00838f", "#8d6e63", "#d81b60", "#546e7a", "#9e9d24"};
    return colours[i % colours.size()];
}
