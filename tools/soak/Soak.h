// The soak as a whole, on the operator's side: a scratch working folder with
// the folders whose saves fail, the instrument processes run and watched,
// the summary printed and, when asked, written into the report.
#pragma once

#include "SoakOptions.h"

namespace kelo::soak {

// 0 when the soak found nothing wrong, 1 when it found crashes, hangs or
// faults, 2 when it could not run.
int runSoak(SoakOptions options);

}  // namespace kelo::soak
