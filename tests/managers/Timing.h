// Time bounds hold for plain builds; under the sanitizers the figures are
// only reported.
#pragma once

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool TimeBoundsChecked = false;
#else
constexpr bool TimeBoundsChecked = true;
#endif
