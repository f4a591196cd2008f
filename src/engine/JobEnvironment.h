#pragma once

#include "engine/JobEvents.h"
#include "engine/RandomSource.h"
#include "engine/TextFormats.h"
#include "platform/Clock.h"

namespace veskard::engine {

// What the jobs draw on, passed in so that tests can pin the clock and the
// draws, and so that whoever drives a job hears what it does.
struct JobEnvironment {
    JobEvents& events;
    const platform::Clock& clock;
    RandomSource& random;
    const TextFormats& formats;
};

} // namespace veskard::engine
