#include "publishing/ui/PublishRunServices.h"

#include "output/OutputOperation.h"

PublishRunServices PublishRunServices::standard()
{
    PublishRunServices services;
    services.makeJob = [] { return std::make_shared<OutputOperation>(); };
    // The program has no scenes yet: books are written without one.
    services.outputScene = [](FlashScenesManagement *) { return OutputScene(); };
    return services;
}
