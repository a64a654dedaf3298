#include "pages/heading_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace zendrik {

QFont headingFont() {
    const QString classic = QStringLiteral("MS Sans Serif");
    QFont font;
    if (QFontDatabase::families().contains(classic, Qt::CaseInsensitive)) {
        font.setFamily(classic);
    } else {
        font.setFamily(QStringLiteral("Sans Serif"));
        font.setStyleHint(QFont::SansSerif);
    }
    font.setPointSize(12);
    return font;
}

}  // namespace zendrik
