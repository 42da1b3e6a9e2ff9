#include "writer/LayoutData.h"

#include "writer/DocumentContext.h"

// Written empty, in its place, until this block's writer lands.
io::CBlockPtr buildLayoutData(const MentorBS::BoardModel&, DocumentContext&) {
    return io::CBlockPtr(L"LayoutData");
}
