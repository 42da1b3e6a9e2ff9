#include "prepare/NegativePlanes.h"

// Until the geometry file reader lands there is no board outline to subtract from, so
// plane layers stay as read.
void convertNegativePlanes(MentorBS::BoardModel&, io::CAbstract_ostream&) {}
