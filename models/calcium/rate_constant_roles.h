// What each rate constant of the calcium network does, for the legends of
// the parameter files (k1..k78; velmo64v6 stops at k68).
#pragma once

namespace calcium {

inline constexpr int rate_constant_count = 78;

// The role of kN (1 to 78), "leak of Ca_ext into the cytosol (j1)".
const char* rate_constant_role(int n);

}  // namespace calcium
