#include "indexlog.h"

Q_LOGGING_CATEGORY(lcIndex, "tovalo.index", QtInfoMsg)
