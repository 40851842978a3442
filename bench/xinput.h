/* Drives and watches windows on an X display (Xvfb) for the benchmark: XTest
   for the pointer and keys, XGetImage to see what a window shows. Windows are
   passed as plain XIDs so callers need no Xlib headers. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _XDisplay Display;

/* Opens the display (NULL: the one named by DISPLAY); X errors (a window gone between two
   calls) are ignored rather than ending the process. */
Display* xin_open(const char* name);
void xin_close(Display* display);

/* The topmost viewable top-level window with this exact title, and, when
   painted is set, one that shows more than one colour: Xvfb runs with a
   black root, so until a window is first painted it shows only black. */
unsigned long xin_find(Display* display, const char* title, int painted);

/* Root coordinates of the top-left pixel of the given 0xRRGGBB colour in the
   window; 0 if it shows none. */
int xin_find_colour(Display* display, unsigned long window, unsigned long rgb, int* x, int* y);

/* Moves the pointer and waits for the server to have done so. */
void xin_move(Display* display, int x, int y);
/* Presses (1) or releases (0) the left button and sends it at once. */
void xin_button(Display* display, int press);
/* Types one key, by keysym name ("Return", "Tab"), with Shift if asked. */
void xin_key(Display* display, const char* keysym, int shift);

void xin_focus(Display* display, unsigned long window);
/* Asks the window to close, as a window manager's close button does. */
void xin_close_window(Display* display, unsigned long window);

#ifdef __cplusplus
}
#endif
