#pragma once
// The installers as the window calls them, on the real file system, registry and settings.
#include "install/install_context_win.h"
#include "install/installers.h"
#include "install/journal_store.h"
