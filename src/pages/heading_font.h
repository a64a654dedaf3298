// The font of the pages' headings: 12-point "MS Sans Serif" where the system has it,
// otherwise the default sans-serif at 12 points.
#pragma once

#include <QFont>

namespace zendrik {

QFont headingFont();

}  // namespace zendrik
