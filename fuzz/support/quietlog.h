#pragma once

// Log lines of the code under test would drown libFuzzer's own output and
// cost most of the time of a run; they carry nothing an invariant checks.
void silenceQtMessages();
