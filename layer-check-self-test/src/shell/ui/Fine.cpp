#include "shell/ui/Fine.h"
#include "publishing/ui/PublishCommand.h"
#include <QWidget>
