#pragma once

#include <QIcon>

namespace app {

// The themed "clear" symbol, or a drawn one where the desktop theme has none.
QIcon clearIcon();

} // namespace app
