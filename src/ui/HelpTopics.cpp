#include "ui/HelpTopics.h"

#include "platform/Services.h"

#include <array>

int HelpContextOfPage(int pageIndex) {
    static constexpr std::array<int, 5> kContexts = {100, 200, 300, 400, 600};
    if (pageIndex < 0 || pageIndex >= static_cast<int>(kContexts.size()))
        return kHelpContents;
    return kContexts[pageIndex];
}
