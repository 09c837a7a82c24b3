#include "frame/SupportAddress.h"

const char g_szSupportEmail[] = "support@corvane.example";
