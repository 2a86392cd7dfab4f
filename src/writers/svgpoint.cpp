// One step of an SVG path: a command letter and a point.
#include "writers/plot.h"

void svgpoint(std::string& d, char command, double x, double y) {
    d += command;
    svgnumber(d, x);
    d += ' ';
    svgnumber(d, y);
}
