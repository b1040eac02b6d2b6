#include "gis/GisFormat.h"
