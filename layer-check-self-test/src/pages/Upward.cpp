#include "pages/Upward.h"
#include "shell/BookSession.h"
