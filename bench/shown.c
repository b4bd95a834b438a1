/* Starts a program on the X display and prints the milliseconds until it maps its first top-level window;
 * the program is then ended. Waits on the server's own map notice rather than polling for the window.
 *
 *   bench_shown TIMEOUT_MS PROGRAM [ARGUMENTS...]
 */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec * 1e3 + (double)t.tv_nsec / 1e6;
}

int main(int argc, char** argv) {
    if (argc < 3)
        return fprintf(stderr, "usage: bench_shown TIMEOUT_MS PROGRAM [ARGUMENTS...]\n"), 2;
    const double timeout = atof(argv[1]);
    Display* display = XOpenDisplay(NULL);
    if (!display)
        return fprintf(stderr, "bench_shown: no X display\n"), 1;
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const double start = now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    double shown = -1;
    struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
    while (shown < 0 && now() - start < timeout) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && event.xmap.event == root && !event.xmap.override_redirect) {
                shown = now() - start;
                break;
            }
        }
        if (shown < 0)
            poll(&connection, 1, 5);
    }
    kill(child, SIGTERM);
    waitpid(child, NULL, 0);
    XCloseDisplay(display);
    if (shown < 0)
        return fprintf(stderr, "bench_shown: no window within %.0f ms\n", timeout), 1;
    printf("%.2f\n", shown);
    return 0;
}
