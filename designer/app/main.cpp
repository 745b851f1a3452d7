#include "ShellApp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CShellApp shell;
    return shell.Run();
}
