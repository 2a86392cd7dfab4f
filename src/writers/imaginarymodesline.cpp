// The line of a text summary that names a run's imaginary frequencies: the modes below zero, so a
// projected "-0.000" is not one.
#include "store/store.h"
#include "writers/plot.h"

std::string imaginarymodesline(const Store& s) {
    if (s.nvib < 1) {
        return {};
    }
    std::string list;
    int count = 0;
    for (int m = 1; m <= s.nvib; ++m) {
        if (s.vibs(m) < 0.0) {
            list += count++ == 0 ? " (" : ", ";
            svgnumber(list, s.vibs(m), 2);
        }
    }
    if (count == 0) {
        return "imaginary frequencies: none";
    }
    return "imaginary frequencies: " + std::to_string(count) + list + " cm-1)";
}
