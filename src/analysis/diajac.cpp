// Eigenvalues and eigenvectors of a real symmetric matrix by the cyclic Jacobi method with a
// threshold, sorted ascending.
#include "analysis/analysis.h"
#include "control/control.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define KRU_AVX2_TILES 1
#endif

namespace {

// Single-precision 0.2 widened to double: the threshold factor of the first three sweeps.
constexpr double thresholdfactor = 0.20000000298023224;
constexpr int maxsweeps = 50;

// From this order on a second thread takes the rotations of the rows above p and of the
// eigenvectors; below it the thread would cost more than it saves.
constexpr std::size_t threadedorder = 96;

// The loops below run on eight or four elements at once where the processor has AVX-512 or
// AVX2. Each element gets the same operations in the same order either way (no fused
// multiply-add), so the bits do not depend on the processor.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define KRU_VECTOR_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define KRU_VECTOR_CLONES
#endif

// The rotation of the pairs x = xp[r], y = yq[r] for r in [from, to), both from their old values.
KRU_VECTOR_CLONES void rotate(double* xp, double* yq, std::size_t from, std::size_t to, double s,
                              double tau) {
    for (std::size_t r = from; r < to; ++r) {
        const double x = xp[r];
        const double y = yq[r];
        xp[r] = x - s * (y + x * tau);
        yq[r] = y + s * (x - y * tau);
    }
}

// The rotation of x = colp[r] with y = a(q, r), row q of the upper triangle, for r in [from, to).
void rotatewithrow(double* a, std::size_t ld, double* colp, std::size_t q, std::size_t from,
                   std::size_t to, double s, double tau) {
    for (std::size_t r = from; r < to; ++r) {
        const double x = colp[r];
        const double y = a[q + ld * r];
        colp[r] = x - s * (y + x * tau);
        a[q + ld * r] = y + s * (x - y * tau);
    }
}

// Rotations of one p are taken in blocks of this many consecutive q, starting at multiples of it:
// in a row r after the block, the block's elements a(q, r) are neighbours in memory, so all its
// rotations reach them through one cache line instead of one line per element.
constexpr std::size_t blockwidth = 8;

struct Block {
    std::size_t q0;
    unsigned rotated; // bit k: the rotation of q0 + k is taken
    double s[blockwidth];
    double tau[blockwidth];
};

// The block's rotations in order of x = colp[r] with y = a(q, r) for r in [from, to), row by row:
// only the rotated rows of the block are read and written.
void rotatetailplain(double* a, std::size_t ld, double* colp, const Block& block, std::size_t from,
                     std::size_t to) {
    for (std::size_t r = from; r < to; ++r) {
        double* row = a + block.q0 + ld * r;
        double x = colp[r];
        for (std::size_t k = 0; k < blockwidth; ++k) {
            if ((block.rotated >> k & 1U) != 0) {
                const double y = row[k];
                row[k] = y + block.s[k] * (x - y * block.tau[k]);
                x = x - block.s[k] * (y + x * block.tau[k]);
            }
        }
        colp[r] = x;
    }
}

// The block's elements of rows [from, from + count) are turned into columns of `tile` (column k
// of length count holds a(q0 + k, r)) and back after the rotations, here from row `first` of the
// tile on. Turned over, a rotation runs down contiguous memory in both of its columns, on many
// rows at once.
void tileplain(const double* a, std::size_t ld, std::size_t q0, std::size_t from, std::size_t first,
               std::size_t count, double* tile) {
    for (std::size_t r = first; r < count; ++r) {
        const double* row = a + q0 + ld * (from + r);
        for (std::size_t k = 0; k < blockwidth; ++k) {
            tile[r + count * k] = row[k];
        }
    }
}

void untileplain(double* a, std::size_t ld, std::size_t q0, std::size_t from, std::size_t first,
                 std::size_t count, const double* tile) {
    for (std::size_t r = first; r < count; ++r) {
        double* row = a + q0 + ld * (from + r);
        for (std::size_t k = 0; k < blockwidth; ++k) {
            row[k] = tile[r + count * k];
        }
    }
}

#ifdef KRU_AVX2_TILES
// The same four rows at a time, each 4 x 4 square turned in registers.
__attribute__((target("avx2"))) inline void transpose4(__m256d& t0, __m256d& t1, __m256d& t2,
                                                       __m256d& t3) {
    const __m256d u0 = _mm256_unpacklo_pd(t0, t1);
    const __m256d u1 = _mm256_unpackhi_pd(t0, t1);
    const __m256d u2 = _mm256_unpacklo_pd(t2, t3);
    const __m256d u3 = _mm256_unpackhi_pd(t2, t3);
    t0 = _mm256_permute2f128_pd(u0, u2, 0x20);
    t1 = _mm256_permute2f128_pd(u1, u3, 0x20);
    t2 = _mm256_permute2f128_pd(u0, u2, 0x31);
    t3 = _mm256_permute2f128_pd(u1, u3, 0x31);
}

// Both return the rows done, a multiple of four.
__attribute__((target("avx2"))) std::size_t tileavx2(const double* a, std::size_t ld,
                                                     std::size_t q0, std::size_t from,
                                                     std::size_t count, double* tile) {
    std::size_t r = 0;
    for (; r + 4 <= count; r += 4) {
        const double* row = a + q0 + ld * (from + r);
        for (std::size_t half = 0; half < blockwidth; half += 4) {
            __m256d t0 = _mm256_loadu_pd(row + half);
            __m256d t1 = _mm256_loadu_pd(row + ld + half);
            __m256d t2 = _mm256_loadu_pd(row + 2 * ld + half);
            __m256d t3 = _mm256_loadu_pd(row + 3 * ld + half);
            transpose4(t0, t1, t2, t3);
            _mm256_storeu_pd(tile + r + count * half, t0);
            _mm256_storeu_pd(tile + r + count * (half + 1), t1);
            _mm256_storeu_pd(tile + r + count * (half + 2), t2);
            _mm256_storeu_pd(tile + r + count * (half + 3), t3);
        }
    }
    return r;
}

__attribute__((target("avx2"))) std::size_t untileavx2(double* a, std::size_t ld, std::size_t q0,
                                                       std::size_t from, std::size_t count,
                                                       const double* tile) {
    std::size_t r = 0;
    for (; r + 4 <= count; r += 4) {
        double* row = a + q0 + ld * (from + r);
        for (std::size_t half = 0; half < blockwidth; half += 4) {
            __m256d t0 = _mm256_loadu_pd(tile + r + count * half);
            __m256d t1 = _mm256_loadu_pd(tile + r + count * (half + 1));
            __m256d t2 = _mm256_loadu_pd(tile + r + count * (half + 2));
            __m256d t3 = _mm256_loadu_pd(tile + r + count * (half + 3));
            transpose4(t0, t1, t2, t3);
            _mm256_storeu_pd(row + half, t0);
            _mm256_storeu_pd(row + ld + half, t1);
            _mm256_storeu_pd(row + 2 * ld + half, t2);
            _mm256_storeu_pd(row + 3 * ld + half, t3);
        }
    }
    return r;
}

bool hasavx2() {
    static const bool avx2 = __builtin_cpu_supports("avx2") != 0;
    return avx2;
}
#endif

// Rows [from, from + count) of the block into the tile and back, with AVX2 where the processor
// has it, the rows left over plainly.
void totile(const double* a, std::size_t ld, std::size_t q0, std::size_t from, std::size_t count,
            double* tile) {
    std::size_t done = 0;
#ifdef KRU_AVX2_TILES
    done = hasavx2() ? tileavx2(a, ld, q0, from, count, tile) : 0;
#endif
    tileplain(a, ld, q0, from, done, count, tile);
}

void fromtile(double* a, std::size_t ld, std::size_t q0, std::size_t from, std::size_t count,
              const double* tile) {
    std::size_t done = 0;
#ifdef KRU_AVX2_TILES
    done = hasavx2() ? untileavx2(a, ld, q0, from, count, tile) : 0;
#endif
    untileplain(a, ld, q0, from, done, count, tile);
}

// The block's rotations, in order, of x = colp[r] with y = a(q, r) for the rows r from `from`
// to n; the block lies wholly inside the matrix. Rows are taken `tilerows` at a time.
void rotatetail(double* a, std::size_t ld, std::size_t n, double* colp, const Block& block,
                std::size_t from) {
    constexpr std::size_t tilerows = 64;
    double tile[tilerows * blockwidth];
    for (std::size_t r = from; r < n; r += tilerows) {
        const std::size_t count = std::min(tilerows, n - r);
        totile(a, ld, block.q0, r, count, tile);
        for (std::size_t k = 0; k < blockwidth; ++k) {
            if ((block.rotated >> k & 1U) != 0) {
                rotate(colp + r, tile + count * k, 0, count, block.s[k], block.tau[k]);
            }
        }
        fromtile(a, ld, block.q0, r, count, tile);
    }
}

// Row p made the mirror of column p again, for r in [from, to).
void mirror(double* a, std::size_t ld, std::size_t p, std::size_t from, std::size_t to) {
    const double* colp = a + ld * p;
    for (std::size_t r = from; r < to; ++r) {
        a[p + ld * r] = colp[r];
    }
}

// Column c below the diagonal made the mirror of row c again. Read across the columns, but the
// next column's rows lie in the same cache lines.
void mirrorcolumn(double* a, std::size_t ld, std::size_t n, std::size_t c) {
    for (std::size_t r = c + 1; r < n; ++r) {
        a[r + ld * c] = a[c + ld * r];
    }
}

// The lower triangle made the mirror of the upper one again, tile by tile, so that each cache
// line is fetched once for several elements.
KRU_VECTOR_CLONES void lowerfromupper(double* a, std::size_t ld, std::size_t n) {
    constexpr std::size_t tile = 8;
    for (std::size_t jb = 0; jb < n; jb += tile) {
        const std::size_t jend = std::min(jb + tile, n);
        for (std::size_t ib = jb; ib < n; ib += tile) {
            const std::size_t iend = std::min(ib + tile, n);
            for (std::size_t j = jb; j < jend; ++j) {
                for (std::size_t i = std::max(ib, j + 1); i < iend; ++i) {
                    a[i + ld * j] = a[j + ld * i];
                }
            }
        }
    }
}

// One rotation (p, q) of a row p: its column q, s and tau.
struct Rotation {
    std::size_t q;
    double s;
    double tau;
};

// The rotations of each row p, once the matrix rows from p on are done with them, applied to the
// matrix rows above p (columns p and q) and to the eigenvector columns p and q, in the order of
// the method, after row p is mirrored from column p. Nothing else reads or writes those rows
// before the sweep ends: the rows after p belong to the rotations of the later p and the rows up
// to p to these, so the two run side by side. Threaded, a second thread takes them, the matrix
// rows first: the sweep's sum waits only for those, the eigenvectors may lag behind into the
// next sweep. Rows p are handed over in batches, and whoever waits takes the next row's
// rotations itself (one at a time, in order), so that a busy machine, where the second thread
// gets no processor, costs little. Every element sees the same operations in the same order as
// on one thread, so the bits are those of rotating all at once.
class DeferredRotations {
  public:
    DeferredRotations(double* a, std::size_t ld, double* v, std::size_t n, bool threaded)
        : a_(a), ld_(ld), v_(v), n_(n) {
        if (threaded) {
            // Without a thread to be had, the rotations are applied on this one.
            try {
                worker_ = std::thread([this] { work(); });
            } catch (const std::system_error&) {
            }
        }
    }
    DeferredRotations(const DeferredRotations&) = delete;
    DeferredRotations& operator=(const DeferredRotations&) = delete;
    // Left early (a failure on the way), the second thread stops without finishing its work.
    ~DeferredRotations() { stop(); }

    // The list for the rotations of the row p being worked through, empty.
    std::vector<Rotation>& list() { return filling_; }

    // The list holds all rotations of row p.
    void publish(std::size_t p) {
        if (!worker_.joinable()) {
            Segment segment{p, std::move(filling_)};
            applytomatrix(segment);
            applytovectors(segment);
            filling_ = std::move(segment.rotations);
            filling_.clear();
            return;
        }
        pendingwork_ += filling_.size() * (n_ + p);
        pending_.push_back(Segment{p, std::move(filling_)});
        filling_ = std::vector<Rotation>();
        if (!spare_.empty()) {
            filling_ = std::move(spare_.back());
            spare_.pop_back();
        }
        // Some tens of rows' worth of work per handover: handed over more often, the threads
        // spend more time passing the rows and their cache lines back and forth.
        if (pendingwork_ >= 32 * n_ * n_) {
            handover();
        }
    }

    // Every published rotation applied to the rows above its p.
    void waitformatrix() {
        if (worker_.joinable()) {
            handover();
            help(false);
        }
    }

    // Every published rotation applied; the second thread ended.
    void finish() {
        if (!worker_.joinable()) {
            return;
        }
        handover();
        help(true);
        stop();
    }

  private:
    void stop() {
        if (!worker_.joinable()) {
            return;
        }
        {
            std::lock_guard lock(mutex_);
            closed_ = true;
        }
        changed_.notify_all();
        worker_.join();
    }

    struct Segment {
        std::size_t p;
        std::vector<Rotation> rotations;
    };

    void applytomatrix(const Segment& segment) const {
        mirror(a_, ld_, segment.p, segment.p + 1, n_);
        double* colp = a_ + ld_ * segment.p;
        for (const Rotation& r : segment.rotations) {
            rotate(colp, a_ + ld_ * r.q, 0, segment.p, r.s, r.tau);
        }
    }

    void applytovectors(const Segment& segment) const {
        double* colp = v_ + n_ * segment.p;
        for (const Rotation& r : segment.rotations) {
            rotate(colp, v_ + n_ * r.q, 0, n_, r.s, r.tau);
        }
    }

    // The pending rows p into the shared queue; the lists of rows done with go for reuse. Only
    // this thread changes the queue, so the second one never allocates or frees.
    void handover() {
        if (pending_.empty()) {
            return;
        }
        bool wake;
        {
            std::unique_lock lock(mutex_);
            // The eigenvectors lag at most two sweeps' worth of rows behind.
            helpuntil(lock, true, [&] { return published_ - vectorsapplied_ < 2 * n_; });
            for (; front_ < vectorsapplied_; ++front_) {
                spare_.push_back(std::move(queue_.front().rotations));
                spare_.back().clear();
                queue_.pop_front();
            }
            for (Segment& segment : pending_) {
                queue_.push_back(std::move(segment));
            }
            published_ += pending_.size();
            wake = workerwaiting_;
        }
        pending_.clear();
        pendingwork_ = 0;
        if (wake) {
            changed_.notify_all();
        }
    }

    // Which work to take next under the lock: the rotations of the rows above p of the next row
    // p, else (where allowed) its eigenvector rotations; nullptr if there is none or another
    // thread has the next one.
    const Segment* claim(bool vectors, bool& matrix) {
        if (!matrixbusy_ && matrixapplied_ < published_) {
            matrixbusy_ = true;
            matrix = true;
            // References into the queue stay valid while it changes at its ends.
            return &queue_[matrixapplied_ - front_];
        }
        if (vectors && !vectorsbusy_ && vectorsapplied_ < matrixapplied_) {
            vectorsbusy_ = true;
            matrix = false;
            return &queue_[vectorsapplied_ - front_];
        }
        return nullptr;
    }

    // Applies claimed work outside the lock and marks it done.
    void apply(std::unique_lock<std::mutex>& lock, const Segment& segment, bool matrix) {
        lock.unlock();
        if (matrix) {
            applytomatrix(segment);
        } else {
            applytovectors(segment);
        }
        lock.lock();
        if (matrix) {
            matrixbusy_ = false;
            ++matrixapplied_;
        } else {
            vectorsbusy_ = false;
            ++vectorsapplied_;
        }
        changed_.notify_all();
    }

    // Waits, taking work itself where it can, until the rows above p (and the eigenvectors) have
    // all published rotations.
    void help(bool vectors) {
        std::unique_lock lock(mutex_);
        helpuntil(lock, vectors, [&] {
            return matrixapplied_ == published_ && (!vectors || vectorsapplied_ == published_);
        });
    }

    // Waits under the lock until `ready` holds, taking work itself meanwhile where it can.
    template <class Ready>
    void helpuntil(std::unique_lock<std::mutex>& lock, bool vectors, Ready ready) {
        while (!ready()) {
            bool matrix = false;
            const Segment* segment = claim(vectors, matrix);
            if (segment == nullptr) {
                changed_.wait(lock);
            } else {
                apply(lock, *segment, matrix);
            }
        }
    }

    void work() {
        std::unique_lock lock(mutex_);
        while (!closed_) {
            bool matrix = false;
            const Segment* segment = claim(true, matrix);
            if (segment == nullptr) {
                workerwaiting_ = true;
                changed_.wait(lock);
                workerwaiting_ = false;
            } else {
                apply(lock, *segment, matrix);
            }
        }
    }

    double* a_;
    std::size_t ld_;
    double* v_;
    std::size_t n_;
    // This thread's own: the list being filled, the rows not yet handed over (with an estimate
    // of their work in element rotations) and emptied lists.
    std::vector<Rotation> filling_;
    std::vector<Segment> pending_;
    std::size_t pendingwork_ = 0;
    std::vector<std::vector<Rotation>> spare_;
    // Shared, under mutex_: the rows published and not yet cleared away (the front is row
    // number front_ of the run), and who works on what.
    std::deque<Segment> queue_;
    std::size_t front_ = 0;
    std::size_t published_ = 0;
    std::size_t matrixapplied_ = 0;
    std::size_t vectorsapplied_ = 0;
    bool matrixbusy_ = false;
    bool vectorsbusy_ = false;
    bool workerwaiting_ = false;
    bool closed_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread worker_;
};

} // namespace

// The method is defined on the upper triangle. A working copy holds it with its mirror below the
// diagonal, so that a rotation reads and writes column p whole (contiguous in memory) and column
// q above the diagonal, and takes exactly the values the upper triangle holds. Below the
// diagonal the rotation takes row q itself, which is current there, and leaves column q as it
// is; the rows of a block of rotations are taken together (rotatetail). Column p below the
// diagonal is mirrored from row p before the rotations of that p, and row p from it once after
// them (the rotations of later p read it in their columns). Row p, the rows above p and the
// eigenvectors take the rotations of p afterwards (DeferredRotations). The whole lower triangle
// is mirrored once at the end of a sweep, for the sum of the next.
void diajac(const double* a, double* v, double* d, int n) {
    const std::size_t nn = std::size_t(n > 0 ? n : 0);
    // A working copy whose columns start on cache lines, as the blocks of rotations do.
    const std::size_t ld = (nn + blockwidth - 1) / blockwidth * blockwidth;
    std::vector<double> storage(ld * nn + blockwidth);
    void* aligned = storage.data();
    std::size_t space = storage.size() * sizeof(double);
    std::align(blockwidth * sizeof(double), ld * nn * sizeof(double), aligned, space);
    double* w = static_cast<double*>(aligned);
    auto at = [&](std::size_t i, std::size_t j) -> double& { return w[i + ld * j]; };
    auto vt = [&](std::size_t i, std::size_t j) -> double& { return v[i + nn * j]; };

    for (std::size_t j = 0; j < nn; ++j) {
        for (std::size_t i = 0; i <= j; ++i) {
            at(i, j) = a[i + nn * j];
            at(j, i) = a[i + nn * j];
        }
    }
    std::vector<double> b(nn);
    std::vector<double> z(nn, 0.0);
    for (std::size_t p = 0; p < nn; ++p) {
        for (std::size_t i = 0; i < nn; ++i) {
            vt(i, p) = i == p ? 1.0 : 0.0;
        }
        d[p] = at(p, p);
        b[p] = d[p];
    }

    DeferredRotations deferred(w, ld, v, nn, nn >= threadedorder);
    bool converged = false;
    for (int sweep = 1; sweep <= maxsweeps && !converged; ++sweep) {
        // Summed row by row over the upper triangle; column p below the diagonal holds row p.
        double offdiag = 0.0;
        for (std::size_t p = 0; p + 1 < nn; ++p) {
            for (std::size_t q = p + 1; q < nn; ++q) {
                offdiag += std::abs(at(q, p));
            }
        }
        if (offdiag == 0.0) {
            converged = true;
            break;
        }
        const double threshold = sweep <= 3 ? thresholdfactor * offdiag / double(nn * nn) : 0.0;

        for (std::size_t p = 0; p + 1 < nn; ++p) {
            mirrorcolumn(w, ld, nn, p);
            double* colp = &at(0, p);
            std::vector<Rotation>& rotations = deferred.list();
            for (std::size_t q0 = (p + 1) / blockwidth * blockwidth; q0 < nn; q0 += blockwidth) {
                const std::size_t q1 = std::min(q0 + blockwidth, nn);
                Block block{q0, 0U, {}, {}};
                for (std::size_t q = std::max(q0, p + 1); q < q1; ++q) {
                    const double apq = colp[q];
                    const double g = 100.0 * std::abs(apq);
                    // After four sweeps an element too small to change either diagonal entry
                    // is dropped without a rotation.
                    if (sweep > 4 && std::abs(d[p]) + g == std::abs(d[p]) &&
                        std::abs(d[q]) + g == std::abs(d[q])) {
                        colp[q] = 0.0;
                        continue;
                    }
                    if (!(std::abs(apq) > threshold)) {
                        continue;
                    }
                    double h = d[q] - d[p];
                    double t;
                    if (std::abs(h) + g == std::abs(h)) {
                        t = apq / h;
                    } else {
                        const double theta = 0.5 * h / apq;
                        t = 1.0 / (std::abs(theta) + std::sqrt(1.0 + theta * theta));
                        if (theta < 0.0) {
                            t = -t;
                        }
                    }
                    const double c = 1.0 / std::sqrt(1.0 + t * t);
                    const double s = t * c;
                    const double tau = s / (1.0 + c);
                    h = t * apq;
                    z[p] -= h;
                    z[q] += h;
                    d[p] -= h;
                    d[q] += h;
                    colp[q] = 0.0;
                    // The rows between p and q; rows p and q are left out of the range, so
                    // the loop carries no test and runs on several elements at once.
                    double* colq = &at(0, q);
                    rotate(colp, colq, p + 1, q, s, tau);
                    // The rows inside the block at once: the next rotation's angle reads colp.
                    rotatewithrow(w, ld, colp, q, q + 1, q1, s, tau);
                    block.rotated |= 1U << (q - q0);
                    block.s[q - q0] = s;
                    block.tau[q - q0] = tau;
                    rotations.push_back(Rotation{q, s, tau});
                }
                // A block that starts at or above row p is taken row by row: its tiles would
                // read and write back the rows above p, which belong to the earlier p's
                // rotations still under way.
                if (block.rotated != 0 && q1 < nn) {
                    if (q0 <= p) {
                        rotatetailplain(w, ld, colp, block, q1, nn);
                    } else {
                        rotatetail(w, ld, nn, colp, block, q1);
                    }
                }
            }
            deferred.publish(p);
        }
        deferred.waitformatrix();
        lowerfromupper(w, ld, nn);
        for (std::size_t p = 0; p < nn; ++p) {
            b[p] += z[p];
            d[p] = b[p];
            z[p] = 0.0;
        }
    }
    deferred.finish();
    if (!converged) {
        myexit("50 iterations in jacobi should never happen", "remakevibs");
    }

    // Selection sort; "less than or equal" moves the last of equal values first.
    for (std::size_t p = 0; p + 1 < nn; ++p) {
        std::size_t k = p;
        double smallest = d[p];
        for (std::size_t j = p + 1; j < nn; ++j) {
            if (d[j] <= smallest) {
                k = j;
                smallest = d[j];
            }
        }
        if (k != p) {
            d[k] = d[p];
            d[p] = smallest;
            for (std::size_t r = 0; r < nn; ++r) {
                std::swap(vt(r, p), vt(r, k));
            }
        }
    }
}
