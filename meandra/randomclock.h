// Seeding the renderer's random generator from the platform clock.
#pragma once

namespace randomness {

// Sets RandomState to the milliseconds since midnight UTC.
void SeedFromClock();

}  // namespace randomness
