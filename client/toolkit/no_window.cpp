// A build without FLTK: there is no window front end, so the console one is
// used (and BERTLOG_FRONTEND=window is refused as when no display opens).
#include "internal.h"

namespace tk {

std::unique_ptr<FrontEnd> MakeWindowFrontEnd()
{
    return nullptr;
}

}  // namespace tk
