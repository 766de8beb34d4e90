#pragma once

#include <chrono>
#include <functional>

#include "UiServices.h"

namespace brackwin {

// Thrown out of a long operation whose window is closing; the handler that started the
// operation catches it and finishes quietly.
struct OperationStopped {};

// The window's yield. Processing events once per line would dominate a long loop, so pending
// events are processed only when at least `interval` of work has passed since the last time, or
// sooner when `crowded` says that so much work waits for the next round that it would make the
// round long.
// Reading the clock costs more than testing a short line (a tenth of a microsecond under Wine),
// so DoEvents reads it only every few calls, as many as took well under a millisecond the time
// before; DoEventsMidway, which comes after a large piece of work, reads it at every call.
class ThrottledYield final : public Yield {
  public:
    using Clock = std::chrono::steady_clock;

    // processEvents lets the toolkit handle its pending events.
    ThrottledYield(std::function<void()> processEvents, std::function<bool()> crowded,
                   Clock::duration interval);

    // Begins an operation: forgets an earlier stop and counts the interval from now.
    void Start();
    // Makes the running operation's next yield throw OperationStopped.
    void RequestStop() noexcept { stopRequested_ = true; }
    // When the running operation last let events be processed, or began.
    Clock::time_point LastEvents() const noexcept { return lastEvents_; }

    void DoEvents() override;
    void DoEventsMidway() override;

  private:
    void ProcessEventsWhenDue();

    std::function<void()> processEvents_;
    std::function<bool()> crowded_;
    Clock::duration interval_;
    Clock::time_point lastEvents_;
    Clock::time_point lastReading_;
    unsigned callsPerReading_ = 1;
    unsigned callsLeft_ = 1;
    bool stopRequested_ = false;
};

}  // namespace brackwin
