// The program's icon, drawn here: a golden Z on a dark red tile. The information window shows
// it at 32 x 32 pixels and the application uses it as every window's icon.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace zendrik {

// The icon drawn at `size` x `size` pixels.
QPixmap programPixmap(int size = 32);
// The icon at 16, 32 and 48 pixels.
QIcon programIcon();

}  // namespace zendrik
