#include "prepare/PreparationPasses.h"

#include "prepare/NegativePlanes.h"
#include "prepare/PowerNets.h"
#include "prepare/RoutedAreas.h"

void prepareBoard(MentorBS::BoardModel& model, io::CAbstract_ostream& log) {
    prepareRoutedAreas(model);
    mapPowerNets(model, log);
    convertNegativePlanes(model, log);
}
