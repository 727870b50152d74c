#include "services/Platform.h"

namespace varsel {

Platform& ThePlatform() {
    static Platform platform;
    return platform;
}

}  // namespace varsel
