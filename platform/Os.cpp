#include "platform/Os.h"

namespace {
OsServices* g_services = nullptr;
}

OsServices& Os() { return *g_services; }

void SetOs(OsServices* services) { g_services = services; }
