#include "Dialogs.h"

#include "measure/PlatformError.h"

#include <exception>

namespace dialogs {

void runGuarded(Dialogs& dialogs, QWidget* parent, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const measure::PlatformError& failure) {
        dialogs.error(parent, failure.message());
    } catch (const std::exception& failure) {
        dialogs.error(parent, QString::fromLocal8Bit(failure.what()));
    }
}

} // namespace dialogs
