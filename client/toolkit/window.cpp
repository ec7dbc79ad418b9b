#include "internal.h"
namespace tk {
std::unique_ptr<FrontEnd> MakeWindowFrontEnd() { return nullptr; }
}
