#include "prepare/PowerNets.h"

void mapPowerNets(MentorBS::BoardModel&, io::CAbstract_ostream&) {}
