#include "chart/records.hpp"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <exception>
#include <span>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "chart/output.hpp"
#include "chart/ps_string.hpp"
#include "chart/record_walk.hpp"
#include "tree/node.hpp"

namespace voziv {

namespace {

constexpr std::string_view white = "0.000000 0.000000 1.000000";

char* copy(char* at, std::string_view text) {
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

// One line: depth (name \(size\)) height top hue saturation brightness,
// formatted in place around the escaped name.
void putRecord(const Record& record) {
    reserveOutput(32);
    char* p = copy(formatInt(out.buffer + out.length, record.depth), " (");
    out.length = static_cast<std::size_t>(p - out.buffer);
    putPsString(nodeName(record.node));
    reserveOutput(3 * widestFixed + 24 + 64);
    p = copy(out.buffer + out.length, " \\(");
    p = copy(formatInt(p, record.node->size), "\\)) ");
    p = formatFixed(p, record.height, 2);
    *p++ = ' ';
    p = formatFixed(p, record.top, 2);
    *p++ = ' ';
    if (record.hue >= 0) {
        p = copy(formatFixed(p, static_cast<double>(record.hue) / hueSteps, 6),
                 " 1.000000 1.000000\n");
    } else {
        p = copy(copy(p, white), "\n");
    }
    out.length = static_cast<std::size_t>(p - out.buffer);
}

// The nodes of a batch are known ahead, so each is asked for while the
// records before it are formatted.
void putBatch(std::span<const Record> batch) {
    constexpr std::size_t ahead = 8;
    for (std::size_t i = 0; i < batch.size(); ++i) {
        if (i + ahead < batch.size()) {
            const char* node = reinterpret_cast<const char*>(batch[i + ahead].node);
            __builtin_prefetch(node);
            __builtin_prefetch(node + 64);
        }
        putRecord(batch[i]);
    }
}

// Walking the tree is mostly waiting for memory, formatting mostly
// computing: a large chart is walked by a second thread a few batches
// ahead of this one, which formats and writes. The threads pass batches
// through a ring by spinning on counters: waking a sleeping thread takes
// longer on a virtual machine than a batch does.
constexpr std::size_t batchSize = 4096;
constexpr std::size_t ringSize = 4;

struct WalkAhead {
    TreeWalk walk;
    RecordBatch ring[ringSize];
    std::atomic<std::size_t> walked{0};   // batches filled
    std::atomic<std::size_t> written{0};  // batches written
    std::atomic<bool> walkOver{false};    // no batch follows the last filled one
    std::atomic<bool> stop{false};        // the writer has failed
    std::exception_ptr failure;
};

template <class Ready>
void spinUntil(Ready ready) {
    for (unsigned spins = 1; !ready(); ++spins) {
        if (spins % 64 == 0) std::this_thread::yield();
    }
}

void walkAhead(WalkAhead& shared) {
    try {
        for (std::size_t k = 0;; ++k) {
            spinUntil([&] { return shared.stop || shared.written + ringSize > k; });
            if (shared.stop) break;
            bool more = walkRecords(shared.walk, shared.ring[k % ringSize]);
            shared.walked.store(k + 1, std::memory_order_release);
            if (!more) break;
        }
    } catch (...) {
        shared.failure = std::current_exception();
    }
    shared.walkOver.store(true, std::memory_order_release);
}

// Stops and joins the walking thread however writing ends.
struct Walker {
    WalkAhead& shared;
    std::thread thread;
    ~Walker() {
        shared.stop = true;
        if (thread.joinable()) thread.join();
    }
};

}  // namespace

void printTree(double drawHeight) {
    WalkAhead shared;
    shared.walk = startWalk(drawHeight);
    RecordBatch first{std::vector<Record>(batchSize)};
    if (!walkRecords(shared.walk, first)) {
        putBatch(first.filled());  // a chart of one batch
        return;
    }
    for (RecordBatch& batch : shared.ring)
        batch.records.resize(batchSize);
    Walker walker{shared, {}};
    try {
        walker.thread = std::thread(walkAhead, std::ref(shared));
    } catch (const std::system_error&) {
        putBatch(first.filled());  // no second thread: walk and write in turn
        while (walkRecords(shared.walk, first))
            putBatch(first.filled());
        putBatch(first.filled());
        return;
    }
    putBatch(first.filled());
    for (std::size_t k = 0;; ++k) {
        bool over = false;
        spinUntil([&] {
            over = shared.walkOver.load(std::memory_order_acquire);
            return shared.walked.load(std::memory_order_acquire) > k || over;
        });
        if (shared.walked.load(std::memory_order_acquire) <= k) break;  // over
        putBatch(shared.ring[k % ringSize].filled());
        shared.written.store(k + 1, std::memory_order_release);
    }
    walker.thread.join();
    if (shared.failure != nullptr) std::rethrow_exception(shared.failure);
}

}  // namespace voziv
