#pragma once

// The plotting library's header still uses Qt's keyword macros, which the whole build switches off.
#define signals Q_SIGNALS
#define slots Q_SLOTS
#define foreach Q_FOREACH
#include <qcustomplot.h>
#undef foreach
#undef slots
#undef signals
