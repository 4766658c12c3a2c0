#include "host/saver_state.h"

SaverState gSaverState;
