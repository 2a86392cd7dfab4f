// Dot product of two real arrays, summed from 0 in index order so that results are reproducible.
#include "analysis/analysis.h"

double vsdot2(long long n, const double* x, const double* y) {
    double sum = 0.0;
    for (long long i = 0; i < n; ++i) {
        sum += x[i] * y[i];
    }
    return sum;
}
