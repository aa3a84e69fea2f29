#pragma once

#include <QString>

namespace info {

QString termsPage();
QString documentationPage();

} // namespace info
