#include "common/media_device.h"
