#include "ThrottledYield.h"

#include <QCoreApplication>
#include <utility>

namespace brackwin {

ThrottledYield::ThrottledYield(std::function<void()> beforeEvents, Clock::duration interval)
    : beforeEvents_(std::move(beforeEvents)), interval_(interval), lastEvents_(Clock::now()) {}

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
    beforeEvents_();
    QCoreApplication::processEvents();
    lastEvents_ = Clock::now();
    if (stopRequested_) {
        throw OperationStopped{};
    }
}

}  // namespace brackwin
