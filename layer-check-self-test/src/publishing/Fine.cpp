#include "output/OutputOperation.h"
#include "foundation/AppStrings.h"
#include <QString>
