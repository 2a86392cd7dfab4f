// A second thread reads the coordinate tables of a long run of a large molecule ahead of the
// reader, which takes the numbers instead of reading the lines itself: the tables are most of
// the work, and they do not depend on anything else in the file.
#include "control/files.h"
#include "control/freeread.h"
#include "readers/readers.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>
#include <thread>

namespace {

// Tables read ahead of the one the reader asks for, at most: bounds the memory they take.
constexpr std::size_t window = 8;

struct Table {
    std::size_t marker;
    std::vector<double> xyz; // empty where the text ends inside the table
};

} // namespace

struct TablesAhead::Worker {
    std::string_view text;
    std::vector<std::size_t> markers;
    int skip;
    int atoms;
    double unitsperbohr;

    std::mutex m;
    std::condition_variable changed;
    std::deque<Table> ready; // read, in the order of the text
    bool stop = false;
    bool failed = false; // out of memory: the reader reads every table itself
    std::jthread thread;

    Table read(std::size_t marker) const {
        Table t{marker, {}};
        std::size_t at = marker;
        linefrom(text, at, at); // the marker line
        for (int k = 0; k < skip && at < text.size(); ++k) {
            linefrom(text, at, at);
        }
        std::vector<double> xyz(3 * std::size_t(atoms));
        for (std::size_t a = 0; a < std::size_t(atoms); ++a) {
            if (at >= text.size()) {
                return t;
            }
            const FreeRead f = freerd(linefrom(text, at, at), 3);
            for (int k = 1; k <= 3; ++k) {
                xyz[3 * a + std::size_t(k - 1)] = f.fndreals(k) / unitsperbohr;
            }
        }
        t.xyz = std::move(xyz);
        return t;
    }

    void run() {
        try {
            for (const std::size_t marker : markers) {
                Table t = read(marker);
                std::unique_lock lock(m);
                changed.wait(lock, [this] { return stop || ready.size() < window; });
                if (stop) {
                    return;
                }
                ready.push_back(std::move(t));
                changed.notify_all();
            }
        } catch (const std::bad_alloc&) {
            const std::lock_guard lock(m);
            failed = true;
            changed.notify_all();
        }
    }
};

TablesAhead::TablesAhead(std::string_view text, std::vector<std::size_t> markers, int skip,
                         int atoms, double unitsperbohr)
    : worker_(new Worker{
          text, std::move(markers), skip, atoms, unitsperbohr, {}, {}, {}, false, false, {}}) {
    worker_->thread = std::jthread([w = worker_.get()] { w->run(); });
}

TablesAhead::~TablesAhead() {
    {
        const std::lock_guard lock(worker_->m);
        worker_->stop = true;
    }
    worker_->changed.notify_all();
    worker_->thread.join();
}

const double* TablesAhead::coordinates(std::size_t marker) {
    Worker& w = *worker_;
    std::unique_lock lock(w.m);
    while (!w.failed) {
        while (!w.ready.empty() && w.ready.front().marker < marker) {
            w.ready.pop_front();
            w.changed.notify_all();
        }
        if (!w.ready.empty()) {
            const Table& t = w.ready.front();
            return t.marker == marker && !t.xyz.empty() ? t.xyz.data() : nullptr;
        }
        // All read and let go: the marker is past the last table.
        if (w.markers.empty() || marker > w.markers.back()) {
            return nullptr;
        }
        w.changed.wait(lock);
    }
    return nullptr;
}
