#include "output/Widgets.h"
#include <QWidget>
