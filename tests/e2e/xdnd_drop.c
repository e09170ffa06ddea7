/* xdnd_drop: drops files onto whatever X window lies at a screen point, the way a Linux file
 * manager does: the XDND protocol (version 5) with the files offered as "text/uri-list". Wine
 * hands such a drop to a window that accepts files as WM_DROPFILES, so the program under test
 * receives it through the platform, as from Explorer. A host program, built by the test that
 * needs it with the host's C compiler and Xlib.
 *
 *   xdnd_drop X Y FILE...      FILE: absolute Unix paths, dropped in this order
 *
 * Exit codes: 0 dropped and finished, 1 the target refused or did not answer, 2 bad usage,
 * 3 no XDND-aware window at the point. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>

static Display* display;
static Window source;
static Atom aware, enter, position, status, drop, finished, selection, copy, uriList, targets;
static char uris[65536];

static Atom Intern(const char* name) {
    return XInternAtom(display, name, False);
}

/* The innermost window at the point that declares itself a drop target. */
static Window FindTarget(int x, int y) {
    Window root = DefaultRootWindow(display);
    Window from = root, found = None;
    for (;;) {
        Window child = None;
        int cx, cy;
        if (!XTranslateCoordinates(display, root, from, x, y, &cx, &cy, &child) || !child)
            return found;
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = NULL;
        if (XGetWindowProperty(display, child, aware, 0, 1, False, AnyPropertyType, &type, &format,
                               &count, &after, &data) == Success &&
            type != None)
            found = child;
        if (data)
            XFree(data);
        from = child;
    }
}

static void Send(Window target, Atom type, long l1, long l2, long l3, long l4) {
    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)source;
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    XSendEvent(display, target, False, NoEventMask, &event);
    XFlush(display);
}

static void AnswerRequest(const XSelectionRequestEvent* request) {
    XEvent reply;
    memset(&reply, 0, sizeof reply);
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = request->requestor;
    reply.xselection.selection = request->selection;
    reply.xselection.target = request->target;
    reply.xselection.time = request->time;
    reply.xselection.property = request->property ? request->property : request->target;
    if (request->target == uriList) {
        XChangeProperty(display, request->requestor, reply.xselection.property, uriList, 8,
                        PropModeReplace, (unsigned char*)uris, (int)strlen(uris));
    } else if (request->target == targets) {
        Atom offered[2] = {targets, uriList};
        XChangeProperty(display, request->requestor, reply.xselection.property, XA_ATOM, 32,
                        PropModeReplace, (unsigned char*)offered, 2);
    } else {
        reply.xselection.property = None;
    }
    XSendEvent(display, request->requestor, False, NoEventMask, &reply);
    XFlush(display);
}

/* Serves the target's requests for the data until a client message of `wanted` arrives or
 * the time runs out; returns its second data word, or -1. */
static long WaitFor(Atom wanted, int milliseconds) {
    int fd = ConnectionNumber(display);
    for (int waited = 0; waited < milliseconds;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == SelectionRequest)
                AnswerRequest(&event.xselectionrequest);
            else if (event.type == ClientMessage && event.xclient.message_type == wanted)
                return event.xclient.data.l[1];
        }
        fd_set read;
        FD_ZERO(&read);
        FD_SET(fd, &read);
        struct timeval tick = {0, 20000};
        select(fd + 1, &read, NULL, NULL, &tick);
        waited += 20;
    }
    return -1;
}

/* "file://" and the path, with bytes that a URI may not hold escaped. */
static int AppendUri(const char* path) {
    size_t used = strlen(uris);
    const char* head = "file://";
    if (used + strlen(head) + 3 * strlen(path) + 3 > sizeof uris)
        return 0;
    strcpy(uris + used, head);
    used += strlen(head);
    for (const unsigned char* p = (const unsigned char*)path; *p; p++) {
        if (*p <= ' ' || *p >= 0x7f || strchr("%#?\"<>", *p))
            used += (size_t)sprintf(uris + used, "%%%02X", *p);
        else
            uris[used++] = (char)*p;
    }
    strcpy(uris + used, "\r\n");
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: xdnd_drop X Y FILE...\n");
        return 2;
    }
    int x = atoi(argv[1]), y = atoi(argv[2]);
    for (int i = 3; i < argc; i++)
        if (!AppendUri(argv[i]))
            return 2;
    display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "xdnd_drop: no display\n");
        return 2;
    }
    aware = Intern("XdndAware");
    enter = Intern("XdndEnter");
    position = Intern("XdndPosition");
    status = Intern("XdndStatus");
    drop = Intern("XdndDrop");
    finished = Intern("XdndFinished");
    selection = Intern("XdndSelection");
    copy = Intern("XdndActionCopy");
    uriList = Intern("text/uri-list");
    targets = Intern("TARGETS");
    source = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display, selection, source, CurrentTime);
    Window target = FindTarget(x, y);
    if (!target) {
        fprintf(stderr, "xdnd_drop: no drop target at %d,%d\n", x, y);
        return 3;
    }
    Send(target, enter, 5L << 24, (long)uriList, 0, 0);
    WaitFor(None, 300); /* the target may fetch the data as the drag enters */
    Send(target, position, 0, ((long)x << 16) | (y & 0xFFFF), CurrentTime, (long)copy);
    long accepted = WaitFor(status, 5000);
    if (accepted < 0 || !(accepted & 1)) {
        fprintf(stderr, "xdnd_drop: target refused the drop (%ld)\n", accepted);
        return 1;
    }
    Send(target, drop, 0, CurrentTime, 0, 0);
    long done = WaitFor(finished, 10000);
    printf("{\"event\":\"xdnd\",\"target\":%lu,\"finished\":%s}\n", (unsigned long)target,
           done >= 0 ? "true" : "false");
    XCloseDisplay(display);
    return done >= 0 ? 0 : 1;
}
