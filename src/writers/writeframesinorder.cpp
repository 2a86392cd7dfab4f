// Trajectory frames made in two threads and written in order. The frames do not depend on one
// another, so the file is the one a single thread writes; only the order of the writes is kept.
#include "control/files.h"
#include "writers/writers.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// Frames made ahead of the one being written, at most: bounds the texts held in memory.
constexpr std::size_t window = 8;

enum class Made { no, yes, failed };

class Frames {
  public:
    Frames(std::size_t n, FrameWrites writes,
           const std::function<bool(std::size_t k, std::string& text, bool helper)>& format)
        : n_(n), writes_(writes), format_(format), texts_(n), made_(n, Made::no) {}

    // The helper thread: makes frames until none is left or the frames stop.
    void help() {
        std::size_t k = 0;
        while (claim(k)) {
            make(k, true);
        }
    }

    // The calling thread: writes the frames in order, making frames itself while the next one
    // to write is not made yet.
    std::size_t writeall(OutputFile& out) {
        std::unique_lock lock(m_);
        while (written_ < n_) {
            if (made_[written_] == Made::failed) {
                break;
            }
            if (made_[written_] == Made::yes) {
                const std::string text = std::move(texts_[written_]);
                lock.unlock();
                if (writes_ == FrameWrites::linebyline) {
                    writelines(out, text);
                } else {
                    out.write(text);
                }
                lock.lock();
                ++written_;
                changed_.notify_all();
            } else if (next_ < n_ && next_ < written_ + window) {
                const std::size_t k = next_++;
                lock.unlock();
                make(k, false);
                lock.lock();
            } else {
                changed_.wait(lock);
            }
        }
        stopped_ = true;
        changed_.notify_all();
        return written_;
    }

    // No frame is claimed from here on.
    void stop() {
        const std::lock_guard lock(m_);
        stopped_ = true;
        changed_.notify_all();
    }

  private:
    bool claim(std::size_t& k) {
        std::unique_lock lock(m_);
        changed_.wait(lock, [&] { return stopped_ || next_ >= n_ || next_ < written_ + window; });
        if (stopped_ || next_ >= n_) {
            return false;
        }
        k = next_++;
        return true;
    }

    void make(std::size_t k, bool helper) {
        std::string text;
        bool made = false;
        try {
            made = format_(k, text, helper);
        } catch (...) {
            // The frame is made again, and fails again, where its failure is reported.
            made = false;
        }
        const std::lock_guard lock(m_);
        texts_[k] = std::move(text);
        made_[k] = made ? Made::yes : Made::failed;
        if (!made) {
            stopped_ = true;
        }
        changed_.notify_all();
    }

    std::size_t n_;
    FrameWrites writes_;
    const std::function<bool(std::size_t k, std::string& text, bool helper)>& format_;
    std::mutex m_;
    std::condition_variable changed_;
    std::vector<std::string> texts_;
    std::vector<Made> made_;
    std::size_t next_ = 0;
    std::size_t written_ = 0;
    bool stopped_ = false;
};

} // namespace

std::size_t writeframesinorder(
    OutputFile& out, std::size_t n, bool twothreads, FrameWrites writes,
    const std::function<bool(std::size_t k, std::string& text, bool helper)>& format) {
    Frames frames(n, writes, format);
    std::thread helper;
    if (twothreads && n > 1) {
        try {
            helper = std::thread([&frames] { frames.help(); });
        } catch (const std::system_error&) {
            // No second thread: the calling one makes every frame.
        }
    }
    auto finish = [&] {
        frames.stop();
        if (helper.joinable()) {
            helper.join();
        }
    };
    try {
        const std::size_t written = frames.writeall(out);
        finish();
        return written;
    } catch (...) {
        finish();
        throw;
    }
}
