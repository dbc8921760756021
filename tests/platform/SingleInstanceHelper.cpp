// A stand-in for the viewer's start for the single-instance tests: claims the instance the
// way the program does; the first start prints "ready" and then "raised" for each raise it
// is asked for, until it is killed; a later start ends with 0.
#include <glib.h>

#include <cstdio>
#include <string>

#include "platform/SingleInstance.h"

int main(int argc, char** argv) {
    // An argument names the folder; without one the default folder is used.
    platform::SingleInstance instance(argc > 1 ? argv[1] : "");
    if (!platform::ClaimSingleInstance(instance))
        return 0;
    instance.SetRaiseHandler([] {
        std::printf("raised\n");
        std::fflush(stdout);
    });
    std::printf("ready\n");
    std::fflush(stdout);
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(loop);
    g_main_loop_unref(loop);
    return 0;
}
