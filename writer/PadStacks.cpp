#include "writer/PadStacks.h"

#include "writer/DocumentContext.h"

// Written empty, in its place, until this block's writer lands.
io::CBlockPtr buildPadStacks(const MentorBS::BoardModel&, DocumentContext&) {
    return io::CBlockPtr(L"PadStacks");
}
