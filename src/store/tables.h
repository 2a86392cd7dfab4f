// Tables indexed like the molecule they hold: atom, mode and geometry numbers start at 1, some
// tables have columns before the first atom (-3 to 0 for Z-matrix references) or a count in
// row 0. Column-major, so the three coordinates of one atom lie next to each other.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <sys/mman.h>
#include <type_traits>
#include <utility>
#include <vector>

/// Asks for the large pages of the system for the whole pages of a large block: a table of a
/// large molecule is then filled with far fewer page faults, each clearing one large page. A
/// page never touched still takes no memory.
inline void largepages([[maybe_unused]] void* p, [[maybe_unused]] std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    constexpr std::size_t large = std::size_t(2) << 20;
    if (bytes < 2 * large) {
        return;
    }
    const auto from = (reinterpret_cast<std::uintptr_t>(p) + large - 1) & ~(large - 1);
    const auto to = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(large - 1);
    if (to > from) {
        // Only advice: where the system declines, the table works as before.
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    }
#endif
}

/// Storage of the tables. calloc takes a large block fresh from the system, whose pages are zero
/// until written, so the zeros of a table are not written out: a table that a run never writes
/// to takes no memory.
template <class T> struct ZeroPageAllocator {
    using value_type = T;
    ZeroPageAllocator() = default;
    template <class U> explicit ZeroPageAllocator(const ZeroPageAllocator<U>&) {}
    T* allocate(std::size_t n) {
        void* p = std::calloc(n, sizeof(T));
        if (p == nullptr) {
            throw std::bad_alloc();
        }
        largepages(p, n * sizeof(T));
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) { std::free(p); }
    /// A number's value-initialisation is calloc's zero; anything else is constructed.
    template <class U> void construct(U* p) { ::new (static_cast<void*>(p)) U; }
    template <class U, class... A> void construct(U* p, A&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<A>(args)...);
    }
    bool operator==(const ZeroPageAllocator&) const = default;
};

template <class T> using TableStorage = std::vector<T, ZeroPageAllocator<T>>;

/// n copies of init; zeros of a number type are left to the allocator.
template <class T> void fillstorage(TableStorage<T>& v, std::size_t n, const T& init) {
    if constexpr (std::is_arithmetic_v<T>) {
        if (init == T()) {
            TableStorage<T> zeros(n);
            v.swap(zeros);
            return;
        }
    }
    v.assign(n, init);
}

/// Lower and upper bound of one dimension, both included.
struct Extent {
    long long lo = 1;
    long long hi = 0;
    long long size() const { return hi >= lo ? hi - lo + 1 : 0; }
};

template <class T> class Table1 {
  public:
    using value_type = T;
    void allocate(Extent e, const T& init = T()) {
        e_ = e;
        fillstorage(v_, std::size_t(e.size()), init);
        allocated_ = true;
    }
    void deallocate() {
        v_ = {};
        allocated_ = false;
    }
    bool allocated() const { return allocated_; }
    T& operator()(long long i) { return v_[at(i)]; }
    const T& operator()(long long i) const { return v_[at(i)]; }
    long long lo() const { return e_.lo; }
    long long hi() const { return e_.hi; }
    int size() const { return int(v_.size()); }

  private:
    std::size_t at(long long i) const {
        assert(i >= e_.lo && i <= e_.hi);
        return std::size_t(i - e_.lo);
    }
    Extent e_;
    TableStorage<T> v_;
    bool allocated_ = false;
};

template <class T> class Table2 {
  public:
    using value_type = T;
    void allocate(Extent e1, Extent e2, const T& init = T()) {
        e1_ = e1;
        e2_ = e2;
        fillstorage(v_, std::size_t(e1.size() * e2.size()), init);
        allocated_ = true;
    }
    void deallocate() {
        v_ = {};
        allocated_ = false;
    }
    bool allocated() const { return allocated_; }
    T& operator()(long long i, long long j) { return v_[at(i, j)]; }
    const T& operator()(long long i, long long j) const { return v_[at(i, j)]; }
    /// The first element of column j; the column's elements follow it.
    T* column(long long j) { return &v_[at(e1_.lo, j)]; }
    const Extent& extent1() const { return e1_; }
    const Extent& extent2() const { return e2_; }

  private:
    std::size_t at(long long i, long long j) const {
        assert(i >= e1_.lo && i <= e1_.hi && j >= e2_.lo && j <= e2_.hi);
        return std::size_t((i - e1_.lo) + e1_.size() * (j - e2_.lo));
    }
    Extent e1_, e2_;
    TableStorage<T> v_;
    bool allocated_ = false;
};

template <class T> class Table3 {
  public:
    using value_type = T;
    void allocate(Extent e1, Extent e2, Extent e3, const T& init = T()) {
        e1_ = e1;
        e2_ = e2;
        e3_ = e3;
        fillstorage(v_, std::size_t(e1.size() * e2.size() * e3.size()), init);
        allocated_ = true;
    }
    void deallocate() {
        v_ = {};
        allocated_ = false;
    }
    bool allocated() const { return allocated_; }
    T& operator()(long long i, long long j, long long k) { return v_[at(i, j, k)]; }
    const T& operator()(long long i, long long j, long long k) const { return v_[at(i, j, k)]; }
    const Extent& extent3() const { return e3_; }

  private:
    std::size_t at(long long i, long long j, long long k) const {
        assert(i >= e1_.lo && i <= e1_.hi && j >= e2_.lo && j <= e2_.hi && k >= e3_.lo &&
               k <= e3_.hi);
        return std::size_t((i - e1_.lo) + e1_.size() * ((j - e2_.lo) + e2_.size() * (k - e3_.lo)));
    }
    Extent e1_, e2_, e3_;
    TableStorage<T> v_;
    bool allocated_ = false;
};
