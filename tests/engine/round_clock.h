#pragma once

#include "_compearer/read_probe.h"

#include <chrono>
#include <memory>
#include <vector>

namespace parvex::testing {

/// A probe clock that makes every serial read of a round take `serial[r]` and every parallel
/// read `parallel[r]` (the last entry repeating), whatever the machine does. The probe reads
/// the clock once at its start and five times a round: before and after the serial way, before
/// and after the parallel way, and once to see whether its time is spent.
class TRoundClock {
public:
    TRoundClock(std::vector<std::chrono::nanoseconds> serial,
                std::vector<std::chrono::nanoseconds> parallel)
        : state_(std::make_shared<TState>(TState{std::move(serial), std::move(parallel)})) {}

    /// The clock to hand to the probe; it shares this object's count of calls.
    TProbeClock Clock() const {
        return [state = state_] { return state->Next(); };
    }
    /// How often the probe read the clock.
    int Calls() const { return state_->calls; }

private:
    struct TState {
        std::vector<std::chrono::nanoseconds> serial;
        std::vector<std::chrono::nanoseconds> parallel;
        int calls = 0;
        std::chrono::nanoseconds now{};

        static std::chrono::nanoseconds At(const std::vector<std::chrono::nanoseconds>& steps,
                                           std::size_t round) {
            return steps.empty() ? std::chrono::nanoseconds{}
                                 : steps[std::min(round, steps.size() - 1)];
        }
        std::chrono::nanoseconds Next() {
            const int call = calls++;
            if (call > 0) {
                const std::size_t round = static_cast<std::size_t>(call - 1) / 5;
                const int step = (call - 1) % 5;
                if (step == 1)
                    now += At(serial, round);
                else if (step == 3)
                    now += At(parallel, round);
            }
            return now;
        }
    };
    std::shared_ptr<TState> state_;
};

} // namespace parvex::testing
