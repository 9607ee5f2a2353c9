#pragma once

// The one door through which the plug-in reaches the host's services:
// PLC memory bookkeeping, station file facts, conversions, widgets and help.

#include <basemodule.h>
#include <helpsharemodule.h>
#include <hexspinbox.h>
#include <mlineedit.h>

// The help topic of the configuration dialog, its pages and sub-dialogs.
void openSlaveConfigHelp();
