#include "writer/PadShapes.h"

#include "writer/DocumentContext.h"

// Written empty, in its place, until this block's writer lands.
io::CBlockPtr buildPadShapes(const MentorBS::BoardModel&, DocumentContext&) {
    return io::CBlockPtr(L"PadShapes");
}
