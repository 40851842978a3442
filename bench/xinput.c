#include "xinput.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <string.h>

static int ignore_error(Display* display, XErrorEvent* error)
{
    (void)display;
    (void)error;
    return 0;
}

Display* xin_open(const char* name)
{
    XSetErrorHandler(ignore_error);
    return XOpenDisplay(name);
}

void xin_close(Display* display)
{
    XCloseDisplay(display);
}

static int has_title(Display* display, Window window, const char* title)
{
    Atom type;
    int format;
    unsigned long length, after;
    unsigned char* text = NULL;
    int same = 0;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), 0, 256, False,
            XInternAtom(display, "UTF8_STRING", False), &type, &format, &length, &after, &text)
            == Success
        && text) {
        same = length == strlen(title) && memcmp(text, title, length) == 0;
    }
    if (text)
        XFree(text);
    return same;
}

static XImage* grab(Display* display, Window window)
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, window, &a) || a.map_state != IsViewable)
        return NULL;
    return XGetImage(display, window, 0, 0, (unsigned)a.width, (unsigned)a.height, AllPlanes, ZPixmap);
}

static int shows_two_colours(Display* display, Window window)
{
    XImage* image = grab(display, window);
    int two = 0;
    if (!image)
        return 0;
    const unsigned long first = XGetPixel(image, 0, 0);
    for (int y = 0; y < image->height && !two; y += 2)
        for (int x = 0; x < image->width && !two; x += 2)
            two = XGetPixel(image, x, y) != first;
    XDestroyImage(image);
    return two;
}

unsigned long xin_find(Display* display, const char* title, int painted)
{
    Window root, parent, *children = NULL, found = 0;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    for (unsigned i = count; i-- > 0 && !found;) {
        XWindowAttributes a;
        if (XGetWindowAttributes(display, children[i], &a) && a.map_state == IsViewable
            && has_title(display, children[i], title) && (!painted || shows_two_colours(display, children[i])))
            found = children[i];
    }
    if (children)
        XFree(children);
    return found;
}

int xin_find_colour(Display* display, unsigned long window, unsigned long rgb, int* x, int* y)
{
    XImage* image = grab(display, window);
    int found = 0;
    if (!image)
        return 0;
    for (int py = 0; py < image->height && !found; ++py)
        for (int px = 0; px < image->width && !found; ++px)
            if ((XGetPixel(image, px, py) & 0xffffff) == rgb) {
                Window child;
                found = XTranslateCoordinates(display, window, DefaultRootWindow(display), px, py, x, y, &child);
            }
    XDestroyImage(image);
    return found;
}

void xin_move(Display* display, int x, int y)
{
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XSync(display, False);
}

void xin_button(Display* display, int press)
{
    XTestFakeButtonEvent(display, 1, press ? True : False, CurrentTime);
    XFlush(display);
}

void xin_key(Display* display, const char* keysym, int shift)
{
    const KeyCode key = XKeysymToKeycode(display, XStringToKeysym(keysym));
    const KeyCode shiftKey = XKeysymToKeycode(display, XK_Shift_L);
    if (shift)
        XTestFakeKeyEvent(display, shiftKey, True, CurrentTime);
    XTestFakeKeyEvent(display, key, True, CurrentTime);
    XTestFakeKeyEvent(display, key, False, CurrentTime);
    if (shift)
        XTestFakeKeyEvent(display, shiftKey, False, CurrentTime);
    XSync(display, False);
}

void xin_focus(Display* display, unsigned long window)
{
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
}

void xin_close_window(Display* display, unsigned long window)
{
    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}
