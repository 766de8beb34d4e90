#include "ThrottledYield.h"

#include <utility>

namespace brackwin {

ThrottledYield::ThrottledYield(std::function<void()> processEvents, Clock::duration interval)
    : processEvents_(std::move(processEvents)), interval_(interval), lastEvents_(Clock::now()) {}

void ThrottledYield::Start() {
    stopRequested_ = false;
    lastEvents_ = Clock::now();
}

void ThrottledYield::DoEvents() {
    if (stopRequested_) {
        throw OperationStopped{};
    }
    if (Clock::now() - lastEvents_ < interval_) {
        return;
    }
    processEvents_();
    lastEvents_ = Clock::now();
    if (stopRequested_) {
        throw OperationStopped{};
    }
}

}  // namespace brackwin
