#include "Dialogs.h"

#include "textio/ErrorMessage.h"

#include <exception>

namespace dialogs {

void runGuarded(Dialogs& dialogs, QWidget* parent, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const textio::ErrorMessage& failure) {
        dialogs.error(parent, failure.text());
    } catch (const std::exception& failure) {
        dialogs.error(parent, QString::fromLocal8Bit(failure.what()));
    }
}

} // namespace dialogs
