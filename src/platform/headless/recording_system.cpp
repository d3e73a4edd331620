#include "platform/headless/recording_system.h"
