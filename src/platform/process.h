// This process and others, by number.
#pragma once

namespace lumetra {

long currentProcessId();

// Whether a process with this number runs (one we may not signal counts as running).
bool processRuns(long pid);

} // namespace lumetra
