#include "ThrottledYield.h"

#include <algorithm>
#include <utility>

namespace brackwin {

namespace {

// Readings of the clock about this far apart are frequent enough to keep to the interval.
constexpr auto kReadingSpacing = std::chrono::microseconds(500);
constexpr unsigned kMostCallsPerReading = 16;

}  // namespace

ThrottledYield::ThrottledYield(std::function<void()> processEvents, std::function<bool()> crowded,
                               Clock::duration interval)
    : processEvents_(std::move(processEvents)),
      crowded_(std::move(crowded)),
      interval_(interval),
      lastEvents_(Clock::now()),
      lastReading_(lastEvents_) {}

void ThrottledYield::Start() {
    stopRequested_ = false;
    lastEvents_ = lastReading_ = Clock::now();
    callsPerReading_ = callsLeft_ = 1;
}

void ThrottledYield::DoEvents() {
    if (stopRequested_) {
        throw OperationStopped{};
    }
    if (--callsLeft_ == 0) {
        ProcessEventsWhenDue();
    }
}

void ThrottledYield::DoEventsMidway() {
    if (stopRequested_) {
        throw OperationStopped{};
    }
    ProcessEventsWhenDue();
}

void ThrottledYield::ProcessEventsWhenDue() {
    const Clock::time_point now = Clock::now();
    if (now - lastEvents_ < interval_ && !crowded_()) {
        const Clock::duration sinceReading = now - lastReading_;
        if (sinceReading > kReadingSpacing) {
            callsPerReading_ = 1;
        } else if (sinceReading < kReadingSpacing / 2) {
            callsPerReading_ = std::min(2 * callsPerReading_, kMostCallsPerReading);
        }
        lastReading_ = now;
        callsLeft_ = callsPerReading_;
        return;
    }
    processEvents_();
    lastEvents_ = lastReading_ = Clock::now();
    callsLeft_ = callsPerReading_;
    if (stopRequested_) {
        throw OperationStopped{};
    }
}

}  // namespace brackwin
