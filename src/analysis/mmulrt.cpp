// Product C = A B^T of two column-major matrices.
#include "analysis/analysis.h"
#include "control/control.h"

void mmulrt(const double* a, long long ra, long long ca, const double* b, long long rb,
            long long cb, std::string_view /*flag*/, double* c) {
    if (ca != cb) {
        plainstop("Wrong input sizes for mmulrt");
    }
    for (long long i = 0; i < ra; ++i) {
        for (long long j = 0; j < rb; ++j) {
            double sum = 0.0;
            for (long long k = 0; k < ca; ++k) {
                sum += a[i + ra * k] * b[j + rb * k];
            }
            c[i + ra * j] = sum;
        }
    }
}
