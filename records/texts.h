// Every caption and message text the viewer shows, in one place.
#pragma once

// Captions
#define CAPTION_ERROR "ERROR"
#define CAPTION_SHUTDOWN_ERROR "SHUTDOWN ERROR"
#define CAPTION_QUESTION "Vexa GL"

// Window title, class and default file
#define VIEWER_TITLE "Quillmere OpenGL by KALMO"
#define VIEWER_CLASS_NAME "OpenGL"
#define DEFAULT_POINT_FILE "sphere.txt"

// Point file
#define MSG_CANNOT_OPEN_FILE "couldn't open file"
#define MSG_TOO_MANY_POINTS "The point file has too many lines to load."
#define MSG_OUT_OF_MEMORY "Not enough memory to load the point file."
#define MSG_POINT_FILE_INCOMPLETE \
  "The point file changed or could not be read while it was loading. Only the points read are shown."

// Window creation
#define MSG_REGISTER_CLASS_FAILED "Failed To Register The Window Class."
#define MSG_FULLSCREEN_UNSUPPORTED \
  "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?"
#define MSG_PROGRAM_WILL_CLOSE "Program Will Now Close."
#define MSG_WINDOW_CREATION_ERROR "Window Creation Error."
#define MSG_NO_DEVICE_CONTEXT "Can't Create A GL Device Context."
#define MSG_NO_PIXEL_FORMAT "Can't Find A Suitable PixelFormat."
#define MSG_SET_PIXEL_FORMAT_FAILED "Can't Set The PixelFormat."
#define MSG_NO_RENDERING_CONTEXT "Can't Create A GL Rendering Context."
#define MSG_ACTIVATE_CONTEXT_FAILED "Can't Activate The GL Rendering Context."
#define MSG_INITIALIZATION_FAILED "Initialization Failed."

// Teardown
#define MSG_RELEASE_DC_RC_FAILED "Release Of DC And RC Failed."
#define MSG_RELEASE_RC_FAILED "Release Rendering Context Failed."
#define MSG_RELEASE_DC_FAILED "Release Device Context Failed."
#define MSG_RELEASE_HWND_FAILED "Could Not Release hWnd."
#define MSG_UNREGISTER_CLASS_FAILED "Could Not Unregister Class."
