#include "writer/Footprints.h"

#include "writer/DocumentContext.h"

io::CBlockPtr buildSymbols(const MentorBS::BoardModel&, DocumentContext&) {
    return io::CBlockPtr(L"Symbols");
}

// Written empty, in its place, until this block's writer lands.
io::CBlockPtr buildFootprints(const MentorBS::BoardModel&, DocumentContext&) {
    return io::CBlockPtr(L"Footprints");
}
