#include "prepare/RoutedAreas.h"

// Until the geometry file reader lands there is no board outline to prepare against, so
// the areas stay as the traces reader made them.
void prepareRoutedAreas(MentorBS::BoardModel&) {}
