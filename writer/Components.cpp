#include "writer/Components.h"

#include "writer/DocumentContext.h"

// Written empty, in its place, until this block's writer lands.
io::CBlockPtr buildComponents(const MentorBS::BoardModel&, DocumentContext&) {
    return io::CBlockPtr(L"Components");
}

io::CBlockPtr buildSchematicData(const MentorBS::BoardModel&, DocumentContext&) {
    return io::CBlockPtr(L"SchematicData");
}
