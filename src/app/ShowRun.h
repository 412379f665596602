// ShowRun: one run of the show in this process, real time or offline. It opens the display (the dialog where
// there is one), loads, and plays: in real time with the viewer's keys (the Transport), the soundtrack,
// adaptive quality and, with --studio, the Studio; offline into the capture's outputs. At the end it reports
// what --stats (for people) and --stats-json (for programs) ask for. main parses the command line and hands
// over; everything here is wiring of the parts below it.
#pragma once

#include "app/CommandLine.h"

#include <cstdint>

namespace halcyra {

// Plays the show as `options` say (output paths absolute, the data folder set); `startTicks` is the
// performance counter when the program started, for the loading time. Returns the exit status.
int runShow(const Options& options, uint64_t startTicks);

} // namespace halcyra
