#include "mentor/Arena.h"

namespace MentorBS {

Arena& arena() {
    static Arena instance;
    return instance;
}

}  // namespace MentorBS
