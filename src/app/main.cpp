// The console production tool: starts the engine from the configuration file
// named with -f and runs until it is interrupted.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <pthread.h>
#include <string>

#include "app/CommandLine.h"
#include "app/ConsoleUiMgr.h"
#include "schema/base/Log.h"
#include "schema/base/RunAgent.h"
#include "usb/ops/UsbProduction.h"

using namespace Tessor::schema;

int main(int argc, char** argv)
{
    const std::string fileName = configFileArgument(argc, argv);
    if (fileName.empty()) {
        std::fprintf(stderr, "No configuration file is found! Please start it with shortcut icon!\n");
        return RunAgent::START_FAILED_STATUS;
    }
    // Every thread started from here on leaves these to the wait below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    Tessor::usb::installUsbProduction();
    (void)RunAgent::setCfgParm(fileName.c_str());  // the name is never null
    RunAgent* agent = RunAgent::instance();
    setLogLabel("MainWin");
    ConsoleUiMgr* ui = new ConsoleUiMgr(agent->getManager());
    if (agent->init(ui) != 0) {
        CPLOG(3, "Low Layers failed");
        std::fprintf(stderr, "Some Errors found in Logical Layer\n");
        return RunAgent::START_FAILED_STATUS;
    }
    if (std::atexit(&RunAgent::shutdown) != 0) {
        CPLOG(4, "register shutdown Failed");
    } else {
        CPLOG(7, "register shutdown procedure.....");
    }
    agent->getVersion();
    if (agent->run() != 0) {
        std::fprintf(stdout, "some error in device management\n");
        std::fprintf(stderr, "Some Errors found in Device Layer\n");
        if (agent->getUiMgr() == nullptr) {
            delete ui;
        }
        return RunAgent::START_FAILED_STATUS;
    }
    int received = 0;
    sigwait(&stopSignals, &received);
    agent->join();
    return EXIT_SUCCESS;
}
