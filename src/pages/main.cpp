// zendrik: the desktop wizard. Takes no arguments of its own; Qt's are honoured.
#include <QApplication>
#include <cstdio>

#include "filesystem/native_file_system.h"
#include "pages/program_icon.h"
#include "pages/wizard.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zendrik"));
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        std::fprintf(stderr,
                     "zendrik: takes no arguments, got \"%s\"; zendrik-cli repairs "
                     "installations named on its command line\n",
                     qPrintable(arguments.at(1)));
        return 2;
    }
    QApplication::setWindowIcon(zendrik::programIcon());
    // Only "Cancel", "Finish" and closing a page by its frame end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    zendrik::NativeFileSystem disk;
    zendrik::Wizard wizard(disk);
    wizard.start();
    return QApplication::exec();
}
