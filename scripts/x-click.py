#!/usr/bin/env python3
"""Clicks the left button at X Y of the root window of $DISPLAY, through the
XTEST extension (as Xvfb has it), for the documentation's screenshots."""
import ctypes
import sys

x, y = int(sys.argv[1]), int(sys.argv[2])
xlib = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
xlib.XOpenDisplay.restype = ctypes.c_void_p
xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
display = xlib.XOpenDisplay(None)
if not display:
    sys.exit("x-click: cannot open the display")
xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
xlib.XFlush.argtypes = [ctypes.c_void_p]
xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
xtst.XTestFakeMotionEvent(display, -1, x, y, 0)
xtst.XTestFakeButtonEvent(display, 1, 1, 50)
xtst.XTestFakeButtonEvent(display, 1, 0, 50)
xlib.XFlush(display)
xlib.XCloseDisplay(display)
