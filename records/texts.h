// Every caption and message text the viewer shows, in one place.
#pragma once

// Captions
constexpr char CAPTION_ERROR[] = "ERROR";
constexpr char CAPTION_SHUTDOWN_ERROR[] = "SHUTDOWN ERROR";
constexpr char CAPTION_QUESTION[] = "Vexa GL";

// The help box (H): the program's name and version (VIEWER_VERSION, from the build), and every
// key and mouse action.
constexpr char CAPTION_HELP[] = "Quillmere viewer " VIEWER_VERSION;
constexpr char MSG_HELP[] =
    "Mouse\n"
    "Left drag: turn the cloud\n"
    "Right or middle drag: move the cloud\n"
    "Wheel: bring the cloud nearer or farther\n"
    "Any button: stop turning\n"
    "\n"
    "Keys\n"
    "Page Up, Page Down: turn faster or slower about Z\n"
    "Down, Up: turn faster or slower about X\n"
    "Right, Left: turn faster or slower about Y\n"
    "Shift with these: in small steps\n"
    "Space: stop turning\n"
    "Q, Z: move the cloud farther, nearer\n"
    "W, S: move up, down\n"
    "D, A: move right, left\n"
    "R: stop turning and put the cloud at (0, 0, -15)\n"
    "F: framing on or off\n"
    "C: colour by height on or off\n"
    "1 to 9, 0: point size 1 to 9, 10\n"
    "F1: window or full screen\n"
    "H: this help\n"
    "Escape: quit";

// The Linux command line's answers to --help and --version, on standard output.
constexpr char USAGE_TEXT[] =
    "Usage: quillmere-viewer [FILE]\n"
    "       quillmere-viewer --help | --version\n"
    "Shows the 3-D point cloud stored in FILE, a text file of three numbers (x, y and z) a\n"
    "line; without FILE, sphere.txt from the working folder. Several arguments are one name,\n"
    "joined with single blanks. In the window, H lists every key and mouse action, a file\n"
    "dropped on it replaces the cloud, and Escape quits (exit status 27).\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "More in the manual page (man quillmere-viewer) and the guide.\n"
    "Report problems to maintainers@quillmere.org.\n";
constexpr char VERSION_TEXT[] =
    "quillmere-viewer " VIEWER_VERSION "\n"
    "Copyright (c) 2026 the Quillmere viewer maintainers. MIT licence.\n";

// Window title, class and default file
constexpr char VIEWER_TITLE[] = "Quillmere OpenGL by KALMO";
constexpr char VIEWER_CLASS_NAME[] = "OpenGL";
constexpr char DEFAULT_POINT_FILE[] = "sphere.txt";

// The progress of a long load: its window's class and title, and its two lines
constexpr char PROGRESS_CLASS_NAME[] = "QuillmereProgress";
constexpr char PROGRESS_TITLE[] = "Quillmere viewer";
constexpr char PROGRESS_LOADING[] = "Loading %s";
constexpr char PROGRESS_POINTS_READ[] = "%llu points read";

// Point file
constexpr char MSG_CANNOT_OPEN_FILE[] = "couldn't open file";
constexpr char MSG_TOO_MANY_POINTS[] = "The point file has too many lines to load.";
constexpr char MSG_OUT_OF_MEMORY[] = "Not enough memory to load the point file.";
constexpr char MSG_POINT_FILE_INCOMPLETE[] =
    "The point file changed or could not be read while it was loading. Only the points read are shown.";

// Window creation
constexpr char MSG_REGISTER_CLASS_FAILED[] = "Failed To Register The Window Class.";
constexpr char MSG_FULLSCREEN_UNSUPPORTED[] =
    "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?";
constexpr char MSG_PROGRAM_WILL_CLOSE[] = "Program Will Now Close.";
constexpr char MSG_WINDOW_CREATION_ERROR[] = "Window Creation Error.";
constexpr char MSG_NO_DEVICE_CONTEXT[] = "Can't Create A GL Device Context.";
constexpr char MSG_NO_PIXEL_FORMAT[] = "Can't Find A Suitable PixelFormat.";
constexpr char MSG_SET_PIXEL_FORMAT_FAILED[] = "Can't Set The PixelFormat.";
constexpr char MSG_NO_RENDERING_CONTEXT[] = "Can't Create A GL Rendering Context.";
constexpr char MSG_ACTIVATE_CONTEXT_FAILED[] = "Can't Activate The GL Rendering Context.";
constexpr char MSG_INITIALIZATION_FAILED[] = "Initialization Failed.";

// Teardown
constexpr char MSG_RELEASE_DC_RC_FAILED[] = "Release Of DC And RC Failed.";
constexpr char MSG_RELEASE_RC_FAILED[] = "Release Rendering Context Failed.";
constexpr char MSG_RELEASE_DC_FAILED[] = "Release Device Context Failed.";
constexpr char MSG_RELEASE_HWND_FAILED[] = "Could Not Release hWnd.";
constexpr char MSG_UNREGISTER_CLASS_FAILED[] = "Could Not Unregister Class.";
