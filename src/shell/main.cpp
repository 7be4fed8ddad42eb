// The production tool's window: start-up from the configuration file named
// with -f, the window until the operator closes it, the engine's shutdown
// at exit.
#include <QApplication>

#include "shell/MavikApp.h"

namespace {
// Built before start-up, gone after the engine's exit-time shutdown.
Tessor::shell::MavikApp theApp;
}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    return theApp.InitInstance(argc, argv);
}
