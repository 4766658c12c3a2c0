#include "host/saver_main.h"

// The run-time library's argument text is not used: SaverEntry reads the
// process command line itself.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    SaverEntry();
}
